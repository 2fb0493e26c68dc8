// The bounds the engine puts on what the page sends; the field rules themselves are
// exercised through the real bridge in the sound tests.

#include "playback/PlayerPageMessage.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

QJsonObject message(const QString &type, const QJsonObject &data)
{
    return QJsonObject{{u"type"_s, type}, {u"data"_s, data}};
}

EngineState stateFrom(const QJsonObject &data)
{
    const auto parsed = parsePageMessage(message(u"state"_s, data), Instant{});
    EXPECT_TRUE(parsed && std::holds_alternative<page_message::State>(*parsed));
    return parsed ? std::get<page_message::State>(*parsed).state : EngineState{};
}

} // namespace

TEST(PlayerPageMessage, OversizedValuesFromThePageAreDropped)
{
    const QString huge(100'000, u'x');
    EXPECT_FALSE(stateFrom({{u"uri"_s, huge}}).trackURI);
    EXPECT_EQ(stateFrom({{u"uri"_s, u"spotify:track:ok"_s}}).trackURI, u"spotify:track:ok"_s);

    QJsonArray many;
    for (int i = 0; i < 5000; ++i)
        many.append(u"spotify:track:p"_s);
    EXPECT_TRUE(stateFrom({{u"previous"_s, many}}).previousURIs.isEmpty());
    EXPECT_TRUE(stateFrom({{u"previous"_s, QJsonArray{u"spotify:track:a"_s, huge}}}).previousURIs.isEmpty());
    EXPECT_EQ(stateFrom({{u"previous"_s, QJsonArray{u"spotify:track:a"_s}}}).previousURIs, QStringList{u"spotify:track:a"_s});

    const auto ready = parsePageMessage(message(u"ready"_s, {{u"device_id"_s, huge}}), Instant{});
    ASSERT_TRUE(ready);
    EXPECT_FALSE(std::get<page_message::Ready>(*ready).deviceID);

    const auto error = parsePageMessage(message(u"error"_s, {{u"message"_s, huge}}), Instant{});
    ASSERT_TRUE(error);
    EXPECT_EQ(std::get<page_message::Error>(*error).message.size(), 2000);
}

TEST(PlayerPageMessage, PositionsOutsideTheIntegerRangeAreZero)
{
    for (const double value : {1e300, -1e300, 9.3e18, -9.3e18})
        EXPECT_EQ(stateFrom({{u"position"_s, value}}).positionMs, 0) << value;
    EXPECT_EQ(stateFrom({{u"position"_s, 86'400'000.99}}).positionMs, 86'400'000);
}
