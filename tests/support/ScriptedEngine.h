#pragma once

#include "core/Clock.h"
#include "core/UserFacingError.h"
#include "playback/AudioEngine.h"

#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

namespace velloran::test {

// An audio engine driven by the test: it records every command and reports whatever
// events the test hands it.
class ScriptedEngine final : public AudioEngine {
public:
    struct PlayCall {
        QStringList uris;
        qint64 startIndex;
        qint64 positionMs;
    };
    // How the next play() answers: after `delaySeconds` of the clock, with `failure` if set.
    struct PlayAnswer {
        double delaySeconds = 0;
        std::optional<QString> failure;
    };

    explicit ScriptedEngine(Clock &clock)
        : m_clock(clock)
    {
    }

    void start() override { ++starts; }

    QCoro::Task<> play(QStringList uris, qint64 startIndex, qint64 positionMs) override
    {
        plays.push_back({uris, startIndex, positionMs});
        PlayAnswer answer;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        if (answer.delaySeconds > 0)
            co_await m_clock.sleepSeconds(answer.delaySeconds);
        if (answer.failure)
            throw UserFacingError(*answer.failure);
    }

    void pause() override { ++pauses; }
    void resume() override { ++resumes; }
    void seek(qint64 positionMs) override { seeks.push_back(positionMs); }

    void send(const EngineEvent &event) { emitEvent(event); }
    void sendState(bool paused, qint64 positionMs, const QString &uri, std::optional<QString> linkedFrom = {})
    {
        EngineState state;
        state.paused = paused;
        state.positionMs = positionMs;
        state.durationMs = 0;
        state.trackURI = uri;
        state.linkedFromURI = std::move(linkedFrom);
        state.receivedAt = m_clock.now();
        send(engine_event::State{state});
    }

    std::vector<PlayCall> plays;
    std::deque<PlayAnswer> answers;
    int starts = 0;
    int pauses = 0;
    int resumes = 0;
    std::vector<qint64> seeks;

private:
    Clock &m_clock;
};

} // namespace velloran::test
