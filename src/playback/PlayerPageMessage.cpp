#include "playback/PlayerPageMessage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace velloran {
namespace {

// Bounds for page-supplied values; a Spotify URI or device id is far shorter, and a side
// has at most a few dozen tracks.
constexpr qsizetype maxIdentifierLength = 512;
constexpr qsizetype maxMessageLength = 2000;
constexpr qsizetype maxPreviousURIs = 1000;

std::optional<QString> identifier(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    QString text = value.toString();
    if (text.size() > maxIdentifierLength)
        return std::nullopt;
    return text;
}

qint64 milliseconds(const QJsonValue &value)
{
    if (!value.isDouble())
        return 0;
    const double number = std::trunc(value.toDouble());
    // Guard the conversion: NaN and out-of-range values are not positions.
    if (!std::isfinite(number) || number <= double(std::numeric_limits<qint64>::min())
        || number >= double(std::numeric_limits<qint64>::max()))
        return 0;
    return qint64(number);
}

QStringList uriList(const QJsonValue &value)
{
    if (!value.isArray())
        return {};
    const QJsonArray array = value.toArray();
    if (array.size() > maxPreviousURIs)
        return {};
    QStringList uris;
    uris.reserve(array.size());
    for (const QJsonValue &element : array) {
        if (!element.isString())
            return {};
        uris.append(element.toString());
    }
    return uris;
}

EngineState engineState(const QJsonObject &data, Instant receivedAt)
{
    EngineState state;
    const QJsonValue paused = data.value("paused"_L1);
    state.paused = paused.isBool() ? paused.toBool() : true;
    state.positionMs = milliseconds(data.value("position"_L1));
    state.durationMs = milliseconds(data.value("duration"_L1));
    state.trackURI = identifier(data.value("uri"_L1));
    state.linkedFromURI = identifier(data.value("linkedFrom"_L1));
    state.previousURIs = uriList(data.value("previous"_L1));
    state.receivedAt = receivedAt;
    return state;
}

std::optional<RemoteAction> remoteAction(const QJsonValue &value)
{
    const QString action = value.toString();
    if (action == "play"_L1)
        return RemoteAction::play();
    if (action == "pause"_L1)
        return RemoteAction::pause();
    if (action == "nexttrack"_L1)
        return RemoteAction::next();
    if (action == "previoustrack"_L1)
        return RemoteAction::previous();
    return std::nullopt;
}

QString errorMessage(const QJsonValue &value)
{
    if (!value.isString())
        return u"Unknown player error"_s;
    return value.toString().left(maxMessageLength);
}

} // namespace

std::optional<PageMessage> parsePageMessage(const QJsonValue &body, Instant receivedAt)
{
    if (!body.isObject())
        return std::nullopt;
    const QJsonObject object = body.toObject();
    const QJsonValue typeValue = object.value("type"_L1);
    if (!typeValue.isString())
        return std::nullopt;
    const QString type = typeValue.toString();
    const QJsonValue dataValue = object.value("data"_L1);
    const QJsonObject data = dataValue.isObject() ? dataValue.toObject() : QJsonObject{};

    if (type == "state"_L1)
        return page_message::State{engineState(data, receivedAt)};
    if (type == "token_request"_L1)
        return page_message::TokenRequest{};
    if (type == "ready"_L1)
        return page_message::Ready{identifier(data.value("device_id"_L1))};
    if (type == "not_ready"_L1)
        return page_message::NotReady{};
    if (type == "cleared"_L1)
        return page_message::Cleared{};
    if (type == "remote"_L1) {
        if (const auto action = remoteAction(data.value("action"_L1)))
            return page_message::Remote{*action};
        return std::nullopt;
    }
    if (type == "error"_L1)
        return page_message::Error{errorMessage(data.value("message"_L1))};
    return std::nullopt;
}

QString jsStringLiteral(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    if (array.size() < 2)
        return u"\"\""_s;
    // JSON leaves U+2028 and U+2029 raw, and older JavaScript treats them as line ends.
    QString literal = QString::fromUtf8(array.sliced(1, array.size() - 2));
    literal.replace(QChar(0x2028), "\\u2028"_L1).replace(QChar(0x2029), "\\u2029"_L1);
    return literal;
}

} // namespace velloran
