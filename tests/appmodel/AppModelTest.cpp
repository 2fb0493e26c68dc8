#include "ScriptedEngine.h"
#include "TemporaryHome.h"
#include "TestSettings.h"

#include "appmodel/AppModel.h"
#include "core/ManualClock.h"
#include "spotify/AuthorizationOpener.h"
#include "spotify/TokenStore.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

class NoBrowser final : public AuthorizationOpener {
public:
    bool open(const QUrl &) override { return true; }
};

Record makeRecord(const QString &id)
{
    QList<Track> tracks;
    for (int i = 0; i < 4; ++i)
        tracks.append({u"spotify:track:%1-%2"_s.arg(id).arg(i), u"Song"_s, u"Band"_s, 120'000});
    return Record::make(id, u"spotify:album:"_s + id, Record::Kind::album, u"Title"_s, u"Band"_s, std::nullopt,
                        std::nullopt, tracks);
}

class AppModelTest : public ::testing::Test {
protected:
    AppModelTest()
        : model(AppModel::Services{clock, *settings, &network, tokens, opener,
                                   SpotifyConfig::forServer(QUrl(u"http://127.0.0.1:9"_s)),
                                   [this](SpotifyAuth &, SpotifyAPI &, Clock &c) {
                                       auto scripted = std::make_unique<ScriptedEngine>(c);
                                       engine = scripted.get();
                                       return scripted;
                                   },
                                   {}})
    {
    }

    // The engine confirms whatever it was last asked to play.
    void confirm()
    {
        const auto &call = engine->plays.back();
        engine->sendState(false, 0, call.uris.at(call.startIndex));
        clock.settle();
    }

    TemporaryHome home;
    ManualClock clock;
    TestSettings settings;
    QNetworkAccessManager network;
    MemoryTokenStore tokens;
    NoBrowser opener;
    ScriptedEngine *engine = nullptr;
    AppModel model;
};

} // namespace

TEST_F(AppModelTest, APlayedSideIsRecordedOnceAndAgainAfterAFlip)
{
    const Record record = makeRecord(u"one"_s);
    model.putOnTurntable(ShelfEntry::fromRecord(record), record, QRectF(10, 20, 100, 100));
    EXPECT_EQ(model.screen(), AppModel::Screen::turntable);
    ASSERT_TRUE(model.flight());
    EXPECT_EQ(model.flight()->entry.item, ShelfEntry::fromRecord(record).item);

    clock.advanceSeconds(0.75 + 0.15 + 1.6); // the sleeve lands, the disc comes out
    ASSERT_NE(engine, nullptr);
    ASSERT_EQ(engine->plays.size(), 1u);
    QSignalSpy recorded(&model.history(), &PlayHistory::entriesChanged);
    confirm();
    ASSERT_EQ(model.history().entries().size(), 1);
    EXPECT_EQ(recorded.count(), 1);
    const Instant firstPlay = model.history().entries().front().playedAt;

    model.controller().pause();
    clock.advanceSeconds(5);
    model.controller().resume();
    engine->sendState(false, 0, engine->plays.back().uris.at(0));
    clock.settle();
    EXPECT_EQ(recorded.count(), 1) << "pausing and resuming the side adds nothing";

    model.controller().nextSide();
    clock.advanceSeconds(1);
    confirm();
    EXPECT_EQ(recorded.count(), 2) << "the other side is recorded again";
    EXPECT_EQ(model.history().entries().size(), 1);
    EXPECT_GT(model.history().entries().front().playedAt, firstPlay);

    const Record other = makeRecord(u"two"_s);
    model.setFlight(std::nullopt);
    model.putOnTurntable(ShelfEntry::fromRecord(other), other, QRectF());
    clock.advanceSeconds(10);
    confirm();
    ASSERT_EQ(model.history().entries().size(), 2);
    EXPECT_EQ(model.history().entries().front().item.id, u"two"_s);
}

TEST_F(AppModelTest, TheRecordAlreadyOnTheDeckSwitchesScreensWithoutAFlight)
{
    const Record record = makeRecord(u"one"_s);
    model.putOnTurntable(ShelfEntry::fromRecord(record), record, QRectF(0, 0, 50, 50));
    clock.advanceSeconds(5);
    model.setFlight(std::nullopt);
    model.setScreen(AppModel::Screen::shelf);

    model.putOnTurntable(ShelfEntry::fromRecord(record), record, QRectF(0, 0, 50, 50));
    EXPECT_EQ(model.screen(), AppModel::Screen::turntable);
    EXPECT_FALSE(model.flight());
    EXPECT_FALSE(model.turntable().incoming());
}
