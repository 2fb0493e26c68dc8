#pragma once

#include "core/Clock.h"
#include "playback/AudioEngine.h"

#include <QJsonValue>
#include <QString>

#include <optional>
#include <variant>

namespace velloran {

// The messages the hidden player page posts, read defensively: the page runs third-party
// script, so every field is type-checked and bounded before the engine reacts to it.
namespace page_message {
struct TokenRequest {
    bool operator==(const TokenRequest &) const = default;
};
struct Ready {
    std::optional<QString> deviceID;
    bool operator==(const Ready &) const = default;
};
struct NotReady {
    bool operator==(const NotReady &) const = default;
};
struct Cleared {
    bool operator==(const Cleared &) const = default;
};
struct State {
    EngineState state;
    bool operator==(const State &) const = default;
};
struct Remote {
    RemoteAction action;
    bool operator==(const Remote &) const = default;
};
struct Error {
    QString message;
    bool operator==(const Error &) const = default;
};
} // namespace page_message

using PageMessage = std::variant<page_message::TokenRequest, page_message::Ready, page_message::NotReady,
                                 page_message::Cleared, page_message::State, page_message::Remote,
                                 page_message::Error>;

// A message body as posted by the page; nullopt for anything the engine ignores (not an
// object, no string type, an unknown type, a remote action it does not know).
std::optional<PageMessage> parsePageMessage(const QJsonValue &body, Instant receivedAt);

// The page reports errors as "<kind>: <text>"; this kind makes the engine refresh the token.
inline constexpr QLatin1StringView authenticationErrorKind{"authentication_error"};

// `text` as a JavaScript string literal, quotes included, for building page calls: a JSON
// string in plain ASCII, every other character escaped.
QString jsStringLiteral(const QString &text);

} // namespace velloran
