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
        std::optional<QString> uri = identifier(element);
        if (!uri)
            return {};
        uris.append(std::move(*uri));
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
    // A JSON string of plain ASCII: everything outside printable ASCII is written as \uXXXX,
    // so no character can end a line for the page's parser (U+2028, U+2029) or be dropped or
    // changed on its way there (U+FEFF); a lone surrogate, which no encoding carries, becomes
    // U+FFFD.
    static constexpr char hex[] = "0123456789abcdef";
    QString literal;
    literal.reserve(text.size() + 2);
    literal += u'"';
    const auto escape = [&](char16_t unit) {
        literal += "\\u"_L1;
        for (int shift = 12; shift >= 0; shift -= 4)
            literal += QLatin1Char(hex[(unit >> shift) & 0xf]);
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit == u'"' || unit == u'\\') {
            literal += u'\\';
            literal += QChar(unit);
        } else if (unit >= 0x20 && unit < 0x7f) {
            literal += QChar(unit);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            escape(unit);
            escape(text[++i].unicode());
        } else if (QChar::isSurrogate(unit)) {
            escape(0xfffd);
        } else {
            escape(unit);
        }
    }
    literal += u'"';
    return literal;
}

} // namespace velloran
