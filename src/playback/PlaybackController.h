#pragma once

#include "core/Clock.h"
#include "model/Record.h"
#include "playback/AudioEngine.h"

#include <QObject>
#include <QSettings>

#include <optional>

namespace velloran {

// Plays one side of a record at a time and turns the engine's stream of player states
// into one trustworthy state: which side and track, whether it is starting, playing,
// paused or finished, and where the needle is. The engine's queue is always exactly the
// current side, so the end of a side is noticed here, not reported by the engine.
class PlaybackController : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::optional<velloran::Record> record READ record WRITE setRecord NOTIFY recordChanged)
    Q_PROPERTY(qint64 sideIndex READ sideIndex NOTIFY sideIndexChanged)
    Q_PROPERTY(qint64 trackIndex READ trackIndex NOTIFY trackIndexChanged)
    Q_PROPERTY(velloran::PlaybackController::Status status READ status NOTIFY statusChanged)
    Q_PROPERTY(std::optional<QString> lastError READ lastError NOTIFY lastErrorChanged)
    Q_PROPERTY(bool autoFlip READ autoFlip WRITE setAutoFlip NOTIFY autoFlipChanged)

public:
    enum class Status { idle, starting, playing, paused, sideEnded };
    Q_ENUM(Status)

    static inline const QString autoFlipKey = QStringLiteral("autoFlip");
    static constexpr double startWindowSeconds = 15.0;
    static constexpr double pauseCheckSeconds = 2.0;
    static constexpr double remoteRepeatSeconds = 0.3;

    PlaybackController(AudioEngine &engine, Clock &clock, QSettings &settings, QObject *parent = nullptr);
    ~PlaybackController() override;

    const std::optional<Record> &record() const { return m_record; }
    void setRecord(const std::optional<Record> &record);
    qint64 sideIndex() const { return m_sideIndex; }
    qint64 trackIndex() const { return m_trackIndex; }
    Status status() const { return m_status; }
    const std::optional<QString> &lastError() const { return m_lastError; }
    bool autoFlip() const { return m_autoFlip; }
    void setAutoFlip(bool on);
    AudioEngine &engine() const { return m_engine; }
    // Whether the engine's current track is known to be one of this side's.
    bool engineHasTrack() const { return m_engineHasTrack; }

    const Side *currentSide() const;
    const Track *currentTrack() const;
    bool isActive() const { return m_status == Status::playing || m_status == Status::starting; }
    qint64 trackPosition(Instant at) const;
    qint64 sidePosition(Instant at) const;
    qint64 trackPosition() const { return trackPosition(m_clock.now()); }
    qint64 sidePosition() const { return sidePosition(m_clock.now()); }

    void start(qint64 side, qint64 track, qint64 offsetMs, bool paused);
    void pause();
    void resume();
    void togglePlayPause();
    void nextTrack();
    void previousTrack();
    void nextSide();
    void seek(qint64 sideMs);
    // A transport command that arrived through the engine: one that repeats the last within
    // 0.3 s is dropped, since the same press can come by more than one way.
    void perform(RemoteAction action);
    // A transport command the user gave this program directly (the desktop's media
    // controls): carried out every time.
    void command(RemoteAction action);
    void handle(const EngineEvent &event);

Q_SIGNALS:
    void recordChanged(std::optional<velloran::Record> record);
    void sideIndexChanged(qint64 sideIndex);
    // Every assignment of the side index, also of the same value: each start publishes one.
    void sideIndexPublished(qint64 sideIndex);
    void trackIndexChanged(qint64 trackIndex);
    void statusChanged(velloran::PlaybackController::Status status);
    void lastErrorChanged(std::optional<QString> lastError);
    void autoFlipChanged(bool autoFlip);
    // The anchor of the position moved (a seek, a confirmed state): the extrapolated
    // position jumped rather than ran on.
    void positionAnchored();

private:
    struct Pending {
        qint64 side;
        qint64 track;
        Instant since;
    };
    struct ExpectedPause {
        bool paused;
        Instant since;
        bool retried;
    };
    struct LastRemote {
        RemoteAction action;
        Instant at;
    };

    QCoro::Task<> requestPlay(QStringList uris, qint64 startIndex, qint64 positionMs, qint64 request);
    void handleState(const EngineState &state);
    std::optional<qint64> trackIndexMatching(const EngineState &state) const;
    void finishSide();
    void freezePosition();
    void setAnchor(qint64 ms, Instant at);

    void setSideIndex(qint64 value);
    void setTrackIndex(qint64 value);
    void setStatus(Status value);
    void setLastError(const std::optional<QString> &value);

    AudioEngine &m_engine;
    Clock &m_clock;
    QSettings &m_settings;

    std::optional<Record> m_record;
    qint64 m_sideIndex = 0;
    qint64 m_trackIndex = 0;
    Status m_status = Status::idle;
    std::optional<QString> m_lastError;
    bool m_autoFlip = false;

    qint64 m_anchorMs = 0;
    Instant m_anchorDate;
    std::optional<Pending> m_pending;
    qint64 m_requestID = 0;
    bool m_engineHasTrack = false;
    std::optional<LastRemote> m_lastRemote;
    bool m_pauseWhenStarted = false;
    std::optional<ExpectedPause> m_expectedPause;
};

} // namespace velloran
