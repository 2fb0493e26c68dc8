#pragma once

#include "core/Clock.h"

#include <QCoroTask>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

namespace velloran {

// A snapshot of the engine's player; positions are valid at `receivedAt`.
struct EngineState {
    bool paused = true;
    qint64 positionMs = 0;
    qint64 durationMs = 0;
    std::optional<QString> trackURI;
    std::optional<QString> linkedFromURI;
    QStringList previousURIs;
    Instant receivedAt{};

    bool operator==(const EngineState &) const = default;
};

// A transport command from outside the program: media keys, the desktop's now-playing
// widget, or the page's own media session.
struct RemoteAction {
    enum class Kind { seek, play, pause, toggle, next, previous };

    Kind kind = Kind::play;
    qint64 trackMs = 0; // only for seek: a position inside the current track

    static RemoteAction seek(qint64 trackMs) { return {Kind::seek, trackMs}; }
    static RemoteAction play() { return {Kind::play, 0}; }
    static RemoteAction pause() { return {Kind::pause, 0}; }
    static RemoteAction toggle() { return {Kind::toggle, 0}; }
    static RemoteAction next() { return {Kind::next, 0}; }
    static RemoteAction previous() { return {Kind::previous, 0}; }

    bool operator==(const RemoteAction &) const = default;
};

namespace engine_event {
struct State {
    EngineState state;
    bool operator==(const State &) const = default;
};
struct Error {
    QString message;
    bool operator==(const Error &) const = default;
};
struct Remote {
    RemoteAction action;
    bool operator==(const Remote &) const = default;
};
struct Ready {
    bool operator==(const Ready &) const = default;
};
struct NotReady {
    bool operator==(const NotReady &) const = default;
};
struct Cleared {
    bool operator==(const Cleared &) const = default;
};
} // namespace engine_event

// What the engine reports, one case at a time.
using EngineEvent = std::variant<engine_event::State, engine_event::Error, engine_event::Remote, engine_event::Ready,
                                 engine_event::NotReady, engine_event::Cleared>;

// The sound source the playback controller drives. The controller owns the only callback
// and hands the engine one side's track URIs at a time.
class AudioEngine {
public:
    virtual ~AudioEngine() = default;

    // Set once by the controller; the engine calls it on the main thread for every event.
    std::function<void(const EngineEvent &)> onEvent;

    virtual void start() = 0;
    // Replaces the queue and starts it; returns once the request is accepted, not when sound
    // starts (that arrives later as state events). Throws on failure.
    virtual QCoro::Task<> play(QStringList uris, qint64 startIndex, qint64 positionMs) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void seek(qint64 positionMs) = 0;

protected:
    void emitEvent(const EngineEvent &event) const
    {
        if (onEvent)
            onEvent(event);
    }
};

} // namespace velloran
