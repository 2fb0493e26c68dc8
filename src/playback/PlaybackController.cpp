#include "playback/PlaybackController.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

const QString lostConnectionMessage = u"Lost the connection to Spotify."_s;
const QString startFailedMessage = u"Spotify didn't start the side. Try again."_s;

// Remote actions that count as repeats of each other within the repeat window.
struct RemoteKey {
    int group;
    qint64 ms;
    bool operator==(const RemoteKey &) const = default;
};

RemoteKey remoteKey(const RemoteAction &action)
{
    switch (action.kind) {
    case RemoteAction::Kind::play:
    case RemoteAction::Kind::pause:
    case RemoteAction::Kind::toggle:
        return {0, 0};
    case RemoteAction::Kind::next:
        return {1, 0};
    case RemoteAction::Kind::previous:
        return {2, 0};
    case RemoteAction::Kind::seek:
        return {3, action.trackMs};
    }
    return {-1, 0};
}

qint64 elapsedMs(Instant from, Instant to)
{
    return static_cast<qint64>(secondsBetween(from, to) * 1000.0);
}

} // namespace

PlaybackController::PlaybackController(AudioEngine &engine, Clock &clock, QSettings &settings, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_clock(clock)
    , m_settings(settings)
    , m_autoFlip(settings.value(autoFlipKey, false).toBool())
    , m_anchorDate(clock.now())
{
    QPointer<PlaybackController> self(this);
    m_engine.onEvent = [self](const EngineEvent &event) {
        if (!self)
            return;
        QMetaObject::invokeMethod(
            self.data(), [self, event] {
                if (self)
                    self->handle(event);
            },
            Qt::AutoConnection);
    };
}

PlaybackController::~PlaybackController()
{
    m_engine.onEvent = nullptr;
}

void PlaybackController::setRecord(const std::optional<Record> &record)
{
    if (m_record == record)
        return;
    m_record = record;
    Q_EMIT recordChanged(m_record);
}

void PlaybackController::setAutoFlip(bool on)
{
    m_settings.setValue(autoFlipKey, on);
    m_settings.sync();
    if (m_autoFlip == on)
        return;
    m_autoFlip = on;
    Q_EMIT autoFlipChanged(on);
}

void PlaybackController::setSideIndex(qint64 value)
{
    if (m_sideIndex == value)
        return;
    m_sideIndex = value;
    Q_EMIT sideIndexChanged(value);
}

void PlaybackController::setTrackIndex(qint64 value)
{
    if (m_trackIndex == value)
        return;
    m_trackIndex = value;
    Q_EMIT trackIndexChanged(value);
}

void PlaybackController::setStatus(Status value)
{
    if (m_status == value)
        return;
    m_status = value;
    Q_EMIT statusChanged(value);
}

void PlaybackController::setLastError(const std::optional<QString> &value)
{
    if (m_lastError == value)
        return;
    m_lastError = value;
    Q_EMIT lastErrorChanged(value);
}

void PlaybackController::setAnchor(qint64 ms, Instant at)
{
    m_anchorMs = ms;
    m_anchorDate = at;
    Q_EMIT positionAnchored();
}

const Side *PlaybackController::currentSide() const
{
    if (!m_record || m_sideIndex < 0 || m_sideIndex >= m_record->sides.size())
        return nullptr;
    return &m_record->sides[m_sideIndex];
}

const Track *PlaybackController::currentTrack() const
{
    const Side *side = currentSide();
    if (!side || m_trackIndex < 0 || m_trackIndex >= side->tracks.size())
        return nullptr;
    return &side->tracks[m_trackIndex];
}

qint64 PlaybackController::trackPosition(Instant at) const
{
    const Track *track = currentTrack();
    if (!track)
        return 0;
    const qint64 d = track->durationMs;
    if (m_status != Status::playing)
        return std::min(std::max(m_anchorMs, qint64{0}), d);
    return std::min(std::max(m_anchorMs + elapsedMs(m_anchorDate, at), qint64{0}), d);
}

qint64 PlaybackController::sidePosition(Instant at) const
{
    const Side *side = currentSide();
    if (!side || side->tracks.isEmpty())
        return 0;
    if (m_status == Status::sideEnded)
        return side->durationMs;
    return side->startOffsets.value(m_trackIndex) + trackPosition(at);
}

void PlaybackController::start(qint64 side, qint64 track, qint64 offsetMs, bool paused)
{
    if (!m_record || side < 0 || side >= m_record->sides.size())
        return;
    const Side &target = m_record->sides[side];
    if (track < 0 || track >= target.tracks.size())
        return;

    // Internal state first, so that observers never see the new status with the old request.
    const Instant now = m_clock.now();
    m_engineHasTrack = false;
    m_pauseWhenStarted = paused;
    m_expectedPause.reset();
    m_pending = Pending{side, track, now};
    const qint64 request = ++m_requestID;
    setSideIndex(side);
    Q_EMIT sideIndexPublished(side);
    setTrackIndex(track);
    setAnchor(offsetMs, now);
    setStatus(Status::starting);
    setLastError(std::nullopt);

    QStringList uris;
    uris.reserve(target.tracks.size());
    for (const Track &t : target.tracks)
        uris.append(t.uri);
    requestPlay(std::move(uris), track, offsetMs, request);
}

QCoro::Task<> PlaybackController::requestPlay(QStringList uris, qint64 startIndex, qint64 positionMs, qint64 request)
{
    QPointer<PlaybackController> self(this);
    QString failure;
    try {
        co_await m_engine.play(std::move(uris), startIndex, positionMs);
        co_return;
    } catch (...) {
        failure = userFacingText(std::current_exception(), u"Playback could not start."_s);
    }
    // Only the latest request may report; a superseded one fails silently.
    if (!self || m_requestID != request)
        co_return;
    m_pending.reset();
    setStatus(Status::paused);
    setLastError(failure);
}

void PlaybackController::pause()
{
    if (!isActive())
        return;
    if (m_status == Status::starting)
        m_pauseWhenStarted = true;
    const Instant now = m_clock.now();
    setAnchor(trackPosition(now), now);
    setStatus(Status::paused);
    m_expectedPause = ExpectedPause{true, now, false};
    m_engine.pause();
}

void PlaybackController::resume()
{
    if (m_status != Status::paused)
        return;
    if (!m_engineHasTrack) {
        start(m_sideIndex, m_trackIndex, m_anchorMs, false);
        return;
    }
    const Instant now = m_clock.now();
    setAnchor(m_anchorMs, now);
    setStatus(Status::playing);
    m_expectedPause = ExpectedPause{false, now, false};
    m_engine.resume();
}

void PlaybackController::togglePlayPause()
{
    switch (m_status) {
    case Status::paused:
        resume();
        break;
    case Status::sideEnded:
        nextSide();
        break;
    case Status::starting:
    case Status::playing:
        pause();
        break;
    case Status::idle:
        if (m_record)
            start(m_sideIndex, m_trackIndex, 0, false);
        break;
    }
}

void PlaybackController::nextTrack()
{
    const Side *side = currentSide();
    if (!side)
        return;
    if (m_trackIndex + 1 >= 0 && m_trackIndex + 1 < side->tracks.size())
        start(m_sideIndex, m_trackIndex + 1, 0, false);
    else
        nextSide();
}

void PlaybackController::previousTrack()
{
    const Side *side = currentSide();
    if (!side || side->tracks.isEmpty())
        return;
    if (trackPosition() <= 3000 && m_trackIndex != 0)
        start(m_sideIndex, m_trackIndex - 1, 0, false);
    else
        seek(side->startOffsets.value(m_trackIndex));
}

void PlaybackController::nextSide()
{
    if (!m_record || m_record->sides.isEmpty())
        return;
    start((m_sideIndex + 1) % m_record->sides.size(), 0, 0, false);
}

void PlaybackController::seek(qint64 sideMs)
{
    const Side *side = currentSide();
    if (!side || side->tracks.isEmpty())
        return;
    const SidePosition target = side->locate(sideMs);
    if (target.track == m_trackIndex && m_engineHasTrack
        && (m_status == Status::playing || m_status == Status::paused)) {
        setAnchor(target.offsetMs, m_clock.now());
        m_engine.seek(target.offsetMs);
        return;
    }
    start(m_sideIndex, target.track, target.offsetMs, m_status == Status::paused);
}

void PlaybackController::finishSide()
{
    m_pending.reset();
    m_pauseWhenStarted = false;
    setStatus(Status::sideEnded);
    if (m_autoFlip && m_record && m_sideIndex + 1 < m_record->sides.size())
        start(m_sideIndex + 1, 0, 0, false);
}

void PlaybackController::perform(RemoteAction action)
{
    const Instant now = m_clock.now();
    if (m_lastRemote && remoteKey(m_lastRemote->action) == remoteKey(action)
        && secondsBetween(m_lastRemote->at, now) < remoteRepeatSeconds)
        return;
    m_lastRemote = LastRemote{action, now};
    command(action);
}

void PlaybackController::command(RemoteAction action)
{
    switch (action.kind) {
    case RemoteAction::Kind::play:
        if (!isActive())
            togglePlayPause();
        break;
    case RemoteAction::Kind::pause:
        pause();
        break;
    case RemoteAction::Kind::toggle:
        togglePlayPause();
        break;
    case RemoteAction::Kind::next:
        nextTrack();
        break;
    case RemoteAction::Kind::previous:
        previousTrack();
        break;
    case RemoteAction::Kind::seek:
        if (const Side *side = currentSide(); side && !side->tracks.isEmpty() && currentTrack())
            seek(side->startOffsets.value(m_trackIndex) + action.trackMs);
        break;
    }
}

void PlaybackController::freezePosition()
{
    const Instant now = m_clock.now();
    setAnchor(trackPosition(now), now);
}

void PlaybackController::handle(const EngineEvent &event)
{
    if (const auto *state = std::get_if<engine_event::State>(&event)) {
        handleState(state->state);
    } else if (const auto *error = std::get_if<engine_event::Error>(&event)) {
        setLastError(error->message);
        if (m_status == Status::starting) {
            m_pending.reset();
            setStatus(Status::paused);
        }
    } else if (const auto *remote = std::get_if<engine_event::Remote>(&event)) {
        perform(remote->action);
    } else if (std::holds_alternative<engine_event::NotReady>(event)) {
        m_engineHasTrack = false;
        if (isActive()) {
            freezePosition();
            setStatus(Status::paused);
        }
        setLastError(lostConnectionMessage);
    } else if (std::holds_alternative<engine_event::Cleared>(event)) {
        m_engineHasTrack = false;
        if (isActive()) {
            freezePosition();
            setStatus(Status::paused);
        }
    }
}

std::optional<qint64> PlaybackController::trackIndexMatching(const EngineState &state) const
{
    const Side *side = currentSide();
    if (!side)
        return std::nullopt;
    std::optional<qint64> first;
    for (qsizetype i = 0; i < side->tracks.size(); ++i) {
        const QString &uri = side->tracks[i].uri;
        const bool ours = (state.trackURI && uri == *state.trackURI) || (state.linkedFromURI && uri == *state.linkedFromURI);
        if (!ours)
            continue;
        if (i >= m_trackIndex)
            return i;
        if (!first)
            first = i;
    }
    return first;
}

void PlaybackController::handleState(const EngineState &s)
{
    const Side *side = currentSide();
    if (!side || side->tracks.isEmpty())
        return;
    const std::optional<qint64> m = trackIndexMatching(s);
    const qint64 n = side->tracks.size();

    if (!m_pending) {
        if (!m) {
            // The engine plays something that is not on this side: the side ran out.
            m_engineHasTrack = false;
            if (!s.paused)
                m_engine.pause();
            if (m_status == Status::playing)
                finishSide();
            return;
        }
    } else {
        const double elapsed = secondsBetween(m_pending->since, s.receivedAt);
        if (elapsed <= startWindowSeconds && (!m || *m != m_pending->track || s.paused))
            return;
        m_pending.reset();
        if (!m) {
            m_engineHasTrack = false;
            if (!s.paused)
                m_engine.pause();
            setStatus(Status::paused);
            setLastError(startFailedMessage);
            return;
        }
        if (m_pauseWhenStarted) {
            m_pauseWhenStarted = false;
            m_engineHasTrack = true;
            setTrackIndex(*m);
            m_engine.pause();
            setAnchor(s.positionMs, s.receivedAt);
            setStatus(Status::paused);
            return;
        }
    }

    m_engineHasTrack = true;

    // The engine reports a finished last track as paused at position 0.
    if (m_status == Status::playing && s.paused && s.positionMs == 0 && m_trackIndex == n - 1) {
        const qint64 p = trackPosition(s.receivedAt);
        if (p >= side->tracks[n - 1].durationMs - 4000) {
            finishSide();
            return;
        }
    }

    if (m_status == Status::sideEnded) {
        if (!s.paused)
            m_engine.pause();
        return;
    }

    if (m_expectedPause) {
        const ExpectedPause expected = *m_expectedPause;
        if (s.paused != expected.paused) {
            if (secondsBetween(expected.since, s.receivedAt) < pauseCheckSeconds)
                return;
            if (!expected.retried) {
                m_expectedPause = ExpectedPause{expected.paused, m_clock.now(), true};
                if (expected.paused)
                    m_engine.pause();
                else
                    m_engine.resume();
                return;
            }
            m_expectedPause.reset();
        } else {
            m_expectedPause.reset();
            if (expected.paused && m_status == Status::paused && std::abs(s.positionMs - m_anchorMs) < 1500) {
                setTrackIndex(*m);
                return;
            }
        }
    }

    setTrackIndex(*m);
    setAnchor(s.positionMs, s.receivedAt);
    setStatus(s.paused ? Status::paused : Status::playing);
}

} // namespace velloran
