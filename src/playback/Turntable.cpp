#include "playback/Turntable.h"

#include "playback/StageGeometry.h"

#include <QPointer>

#include <cmath>
#include <numbers>

namespace velloran {

namespace {

bool sameID(const std::optional<Record> &a, const std::optional<Record> &b)
{
    return (!a && !b) || (a && b && a->id == b->id);
}

std::chrono::nanoseconds toNanoseconds(double seconds)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(std::max(seconds, 0.0)));
}

} // namespace

Turntable::Turntable(PlaybackController &controller, Clock &clock, QSettings &settings, QObject *parent)
    : QObject(parent)
    , m_controller(controller)
    , m_clock(clock)
    , m_settings(settings)
    , m_at45(settings.value(at45Key, false).toBool())
    , m_seenStatus(controller.status())
    , m_seenRecordID(controller.record() ? std::optional(controller.record()->id) : std::nullopt)
    , m_seenSideIndex(controller.sideIndex())
{
    connect(&controller, &PlaybackController::statusChanged, this, &Turntable::followStatus, Qt::QueuedConnection);
    connect(&controller, &PlaybackController::recordChanged, this, &Turntable::followRecord, Qt::QueuedConnection);
    connect(&controller, &PlaybackController::sideIndexChanged, this, &Turntable::followSide, Qt::QueuedConnection);
}

template<typename T, typename Signal>
void Turntable::assign(T &field, const T &value, Signal signal)
{
    if (field == value)
        return;
    field = value;
    Q_EMIT(this->*signal)(field);
}

void Turntable::setDragAngle(std::optional<double> angle)
{
    assign(m_dragAngle, angle, &Turntable::dragAngleChanged);
}

void Turntable::setPitch(double pitch)
{
    assign(m_pitch, pitch, &Turntable::pitchChanged);
}

void Turntable::setTargetLight(bool on)
{
    assign(m_targetLight, on, &Turntable::targetLightChanged);
}

void Turntable::setAt45(bool value)
{
    assign(m_at45, value, &Turntable::at45Changed);
    m_settings.setValue(at45Key, value);
    m_settings.sync();
}

double Turntable::rpm() const
{
    return (m_at45 ? 45.0 : 100.0 / 3.0) * (m_pitch / 100.0 + 1.0);
}

bool Turntable::isOnCurrentSide() const
{
    return m_settled && !m_flipping && sameID(m_controller.record(), m_record) && m_controller.sideIndex() == m_faceUp;
}

std::pair<double, double> Turntable::stylusPosition(double angleDegrees)
{
    const double theta = angleDegrees * std::numbers::pi / 180.0;
    return {stage::tonearmPivot.x() - stage::armLength * std::sin(theta),
            stage::tonearmPivot.y() + stage::armLength * std::cos(theta)};
}

// Waiting and the generation check.

QCoro::Task<> Turntable::wait(double seconds, qint64 generation)
{
    QPointer<Turntable> self(this);
    co_await m_clock.sleep(toNanoseconds(seconds));
    if (!self)
        throw Gone{};
    if (m_generation != generation)
        throw Cancelled{};
}

// A superseded choreography finishes its current move before it notices; a new one that
// needs the disc waits for that move to end, so both agree on where the disc is.
QCoro::Task<> Turntable::waitForRunningMove(qint64 generation)
{
    if (!m_discMove)
        co_return;
    const Instant end = m_discMove->end();
    const Instant now = m_clock.now();
    if (end <= now)
        co_return;
    QPointer<Turntable> self(this);
    co_await m_clock.sleep(std::chrono::duration_cast<std::chrono::nanoseconds>(end - now));
    if (!self)
        throw Gone{};
    if (m_generation != generation)
        throw Cancelled{};
}

void Turntable::setSleeveEmptyLater(bool empty, double delaySeconds)
{
    // Only the latest request lands, so a stale one cannot empty a sleeve its disc went back into.
    const qint64 token = ++m_sleeveEmptyToken;
    QPointer<Turntable> self(this);
    [](Clock &clock, QPointer<Turntable> turntable, bool value, double delay, qint64 ticket) -> QCoro::Task<> {
        co_await clock.sleep(toNanoseconds(delay));
        if (turntable && turntable->m_sleeveEmptyToken == ticket)
            turntable->assign(turntable->m_sleeveEmpty, value, &Turntable::sleeveEmptyChanged);
    }(m_clock, self, empty, delaySeconds, token);
}

// The disc's moves.

QCoro::Task<> Turntable::seatDisc(qint64 generation)
{
    co_await waitForRunningMove(generation);
    if (m_place != Place::sleeve)
        co_return;
    assign(m_settled, false, &Turntable::settledChanged);
    const DiscMove move{DiscMove::Kind::out, m_clock.now(), outSeconds};
    assign(m_discMove, std::optional(move), &Turntable::discMoveChanged);
    assign(m_place, Place::platter, &Turntable::placeChanged);
    setSleeveEmptyLater(true, landingFraction(DiscMove::Kind::out) * outSeconds);
    try {
        co_await wait(outSeconds, generation);
    } catch (const Cancelled &) {
        // The move ran its whole length before the cancellation was seen: the disc is down.
        if (m_discMove == move) {
            assign(m_discMove, std::optional<DiscMove>(), &Turntable::discMoveChanged);
            assign(m_settled, true, &Turntable::settledChanged);
        }
        throw;
    }
    assign(m_settled, true, &Turntable::settledChanged);
    assign(m_discMove, std::optional<DiscMove>(), &Turntable::discMoveChanged);
}

QCoro::Task<> Turntable::stowDisc(bool parkFirst, qint64 generation)
{
    if (m_place != Place::platter)
        co_return;
    if (parkFirst) {
        parkAndStop();
        co_await wait(parkSeconds, generation);
    }
    co_await waitForRunningMove(generation);
    if (m_place != Place::platter)
        co_return;
    assign(m_settled, false, &Turntable::settledChanged);
    const DiscMove move{DiscMove::Kind::in, m_clock.now(), inSeconds};
    assign(m_discMove, std::optional(move), &Turntable::discMoveChanged);
    setSleeveEmptyLater(false, landingFraction(DiscMove::Kind::in) * inSeconds);
    const auto intoSleeve = [this] {
        assign(m_place, Place::sleeve, &Turntable::placeChanged);
        assign(m_discMove, std::optional<DiscMove>(), &Turntable::discMoveChanged);
        assign(m_sleeveEmpty, false, &Turntable::sleeveEmptyChanged);
    };
    try {
        co_await wait(inSeconds, generation);
    } catch (const Cancelled &) {
        if (m_discMove == move)
            intoSleeve();
        throw;
    }
    assign(m_faceUp, qint64{0}, &Turntable::faceUpChanged);
    intoSleeve();
}

QCoro::Task<> Turntable::flip(qint64 toFace, qint64 generation)
{
    assign(m_flipping, true, &Turntable::flippingChanged);
    try {
        co_await wait(flipHalfSeconds, generation);
        assign(m_faceUp, toFace, &Turntable::faceUpChanged);
        co_await wait(flipHalfSeconds, generation);
    } catch (const Cancelled &) {
        assign(m_flipping, false, &Turntable::flippingChanged);
        throw;
    }
    assign(m_flipping, false, &Turntable::flippingChanged);
}

QCoro::Task<> Turntable::playSideA(qint64 generation)
{
    if (m_faceUp != 0)
        co_await flip(0, generation);
    assign(m_armParked, false, &Turntable::armParkedChanged);
    if (m_record && !m_record->sides.isEmpty() && !m_record->sides.front().tracks.isEmpty()) {
        m_controller.setRecord(m_record);
        m_controller.start(0, 0, 0, false);
    }
    if (m_incoming) {
        assign(m_incoming, std::optional<Incoming>(), &Turntable::incomingChanged);
        assign(m_sleeveArriving, false, &Turntable::sleeveArrivingChanged);
    }
}

void Turntable::parkAndStop()
{
    assign(m_armParked, true, &Turntable::armParkedChanged);
    if (m_controller.isActive())
        m_controller.pause();
    assign(m_motor, false, &Turntable::motorChanged);
}

// Gestures.

void Turntable::load(const Record &record, bool arriving)
{
    runLoad(record, arriving, nextGeneration());
}

QCoro::Task<> Turntable::runLoad(Record record, bool arriving, qint64 generation)
{
    try {
        if (m_record && m_record->id == record.id) {
            assign(m_sideOver, std::optional<qint64>(), &Turntable::sideOverChanged);
            assign(m_power, true, &Turntable::powerChanged);
            assign(m_motor, true, &Turntable::motorChanged);
            co_await seatDisc(generation);
            co_await playSideA(generation);
            co_return;
        }
        const bool heldAnother = m_record.has_value();
        if (arriving) {
            m_arrivalOwner = generation;
            assign(m_incoming, std::optional(heldAnother ? Incoming::holding : Incoming::landing),
                   &Turntable::incomingChanged);
        }
        co_await stowDisc(true, generation);
        if (heldAnother) {
            m_sleeveAwayOwner = generation;
            assign(m_sleeveAway, true, &Turntable::sleeveAwayChanged);
            co_await wait(sleeveAwaySeconds, generation);
        }
        assign(m_record, std::optional(record), &Turntable::recordChanged);
        assign(m_faceUp, qint64{0}, &Turntable::faceUpChanged);
        if (arriving) {
            assign(m_sleeveArriving, true, &Turntable::sleeveArrivingChanged);
            assign(m_sleeveAway, false, &Turntable::sleeveAwayChanged);
            assign(m_incoming, std::optional(Incoming::landing), &Turntable::incomingChanged);
            co_await wait(0.75, generation);
            assign(m_sleeveArriving, false, &Turntable::sleeveArrivingChanged);
            assign(m_incoming, std::optional<Incoming>(), &Turntable::incomingChanged);
            co_await wait(0.15, generation);
        } else {
            assign(m_sleeveAway, false, &Turntable::sleeveAwayChanged);
            co_await wait(0.3, generation);
        }
        assign(m_sideOver, std::optional<qint64>(), &Turntable::sideOverChanged);
        assign(m_power, true, &Turntable::powerChanged);
        assign(m_motor, true, &Turntable::motorChanged);
        co_await seatDisc(generation);
        co_await playSideA(generation);
    } catch (const Cancelled &) {
        releaseArrival(generation);
    }
}

void Turntable::releaseArrival(qint64 generation)
{
    // Whatever superseded this choreography did not take the arrival over: no sleeve is on
    // its way any more, and the old one stays on the table.
    if (m_arrivalOwner == generation) {
        assign(m_incoming, std::optional<Incoming>(), &Turntable::incomingChanged);
        assign(m_sleeveArriving, false, &Turntable::sleeveArrivingChanged);
    }
    if (m_sleeveAwayOwner == generation)
        assign(m_sleeveAway, false, &Turntable::sleeveAwayChanged);
}

void Turntable::place(const Record &record)
{
    if (m_record && m_record->id == record.id)
        return;
    runPlace(record, nextGeneration());
}

QCoro::Task<> Turntable::runPlace(Record record, qint64 generation)
{
    try {
        co_await stowDisc(true, generation);
        if (m_record && m_record->id != record.id) {
            m_sleeveAwayOwner = generation;
            assign(m_sleeveAway, true, &Turntable::sleeveAwayChanged);
            co_await wait(sleeveAwaySeconds, generation);
        }
        assign(m_record, std::optional(record), &Turntable::recordChanged);
        assign(m_faceUp, qint64{0}, &Turntable::faceUpChanged);
        assign(m_sideOver, std::optional<qint64>(), &Turntable::sideOverChanged);
        assign(m_sleeveAway, false, &Turntable::sleeveAwayChanged);
    } catch (const Cancelled &) {
        releaseArrival(generation);
    }
}

QCoro::Task<> Turntable::putAway()
{
    const qint64 generation = nextGeneration();
    try {
        co_await stowDisc(true, generation);
    } catch (const Cancelled &) {
    }
}

void Turntable::play(qint64 side, bool useFaceUp, qint64 track)
{
    if (!m_record)
        return;
    runPlay(useFaceUp ? m_faceUp : side, track, nextGeneration());
}

QCoro::Task<> Turntable::runPlay(qint64 side, qint64 track, qint64 generation)
{
    try {
        assign(m_sideOver, std::optional<qint64>(), &Turntable::sideOverChanged);
        assign(m_power, true, &Turntable::powerChanged);
        assign(m_motor, true, &Turntable::motorChanged);
        co_await seatDisc(generation);
        if (m_faceUp != side)
            co_await flip(side, generation);
        assign(m_armParked, false, &Turntable::armParkedChanged);
        if (m_record && side >= 0 && side < m_record->sides.size() && track >= 0
            && track < m_record->sides[side].tracks.size()) {
            m_controller.setRecord(m_record);
            m_controller.start(side, track, 0, false);
        }
    } catch (const Cancelled &) {
    }
}

void Turntable::togglePower()
{
    if (!m_power) {
        assign(m_power, true, &Turntable::powerChanged);
        return;
    }
    nextGeneration();
    parkAndStop();
    assign(m_power, false, &Turntable::powerChanged);
}

void Turntable::startStop()
{
    if (m_motor) {
        nextGeneration();
        parkAndStop();
        return;
    }
    if (!m_record)
        return;
    if (m_place == Place::platter && isOnCurrentSide() && m_controller.status() == PlaybackController::Status::paused) {
        nextGeneration();
        assign(m_power, true, &Turntable::powerChanged);
        assign(m_motor, true, &Turntable::motorChanged);
        assign(m_armParked, false, &Turntable::armParkedChanged);
        m_controller.resume();
        return;
    }
    play(0, true, 0);
}

void Turntable::cue()
{
    if (m_place != Place::platter)
        return;
    if (m_controller.isActive()) {
        m_controller.pause();
        return;
    }
    if (isOnCurrentSide() && m_controller.status() == PlaybackController::Status::paused && !m_armParked) {
        assign(m_power, true, &Turntable::powerChanged);
        assign(m_motor, true, &Turntable::motorChanged);
        m_controller.resume();
    }
}

void Turntable::releaseArm(double angleDegrees)
{
    setDragAngle(std::nullopt);
    const auto [x, y] = stylusPosition(angleDegrees);
    const double r = std::hypot(x - stage::platterCentre.x(), y - stage::platterCentre.y());
    nextGeneration();

    const bool onGrooves = m_place == Place::platter && m_settled && m_record && m_faceUp >= 0
        && m_faceUp < m_record->sides.size() && r >= stage::grooveInnerLimit && r <= stage::grooveOuterLimit;
    if (!onGrooves) {
        assign(m_armParked, true, &Turntable::armParkedChanged);
        if (m_controller.isActive())
            m_controller.pause();
        return;
    }

    const Side &side = m_record->sides[m_faceUp];
    const double f = stage::sideFraction(r);
    const auto sideMs = static_cast<qint64>(f * static_cast<double>(side.durationMs));

    assign(m_sideOver, std::optional<qint64>(), &Turntable::sideOverChanged);
    assign(m_power, true, &Turntable::powerChanged);
    assign(m_motor, true, &Turntable::motorChanged);
    assign(m_armParked, false, &Turntable::armParkedChanged);

    const auto status = m_controller.status();
    const SidePosition target = side.locate(sideMs);
    if (isOnCurrentSide() && status == PlaybackController::Status::playing) {
        m_controller.seek(sideMs);
    } else if (isOnCurrentSide() && status == PlaybackController::Status::paused && target.track == m_controller.trackIndex()
               && m_controller.engineHasTrack()) {
        m_controller.seek(sideMs);
        m_controller.resume();
    } else if (!side.tracks.isEmpty()) {
        // Dropping the needle always plays, also onto another track of a paused side.
        m_controller.setRecord(m_record);
        m_controller.start(m_faceUp, target.track, target.offsetMs, false);
    }
}

// Following the controller.

void Turntable::followStatus(PlaybackController::Status status)
{
    if (status == m_seenStatus)
        return;
    m_seenStatus = status;
    ++m_idleMotorToken;
    switch (status) {
    case PlaybackController::Status::starting:
    case PlaybackController::Status::playing:
        assign(m_power, true, &Turntable::powerChanged);
        assign(m_motor, true, &Turntable::motorChanged);
        assign(m_armParked, false, &Turntable::armParkedChanged);
        assign(m_sideOver, std::optional<qint64>(), &Turntable::sideOverChanged);
        break;
    case PlaybackController::Status::paused:
        runIdleMotor(m_idleMotorToken);
        break;
    case PlaybackController::Status::sideEnded:
        if (!m_controller.autoFlip()) {
            assign(m_motor, false, &Turntable::motorChanged);
            assign(m_sideOver, std::optional(m_controller.sideIndex()), &Turntable::sideOverChanged);
        }
        break;
    case PlaybackController::Status::idle:
        break;
    }
}

QCoro::Task<> Turntable::runIdleMotor(qint64 token)
{
    QPointer<Turntable> self(this);
    co_await m_clock.sleep(toNanoseconds(idleMotorSeconds));
    if (!self || token != m_idleMotorToken)
        co_return;
    if (m_controller.status() == PlaybackController::Status::paused)
        assign(m_motor, false, &Turntable::motorChanged);
}

void Turntable::followRecord(const std::optional<Record> &record)
{
    const std::optional<QString> id = record ? std::optional(record->id) : std::nullopt;
    if (id == m_seenRecordID)
        return;
    m_seenRecordID = id;
    if (!record || sameID(record, m_record))
        return;
    runAdopt(*record, m_controller.sideIndex(), nextGeneration());
}

QCoro::Task<> Turntable::runAdopt(Record record, qint64 side, qint64 generation)
{
    try {
        co_await stowDisc(false, generation);
        assign(m_record, std::optional(record), &Turntable::recordChanged);
        assign(m_faceUp, side, &Turntable::faceUpChanged);
        co_await seatDisc(generation);
    } catch (const Cancelled &) {
    }
}

void Turntable::followSide(qint64 sideIndex)
{
    if (sideIndex == m_seenSideIndex)
        return;
    m_seenSideIndex = sideIndex;
    if (!m_controller.record() || !sameID(m_controller.record(), m_record) || m_place != Place::platter || !m_settled
        || m_flipping || sideIndex == m_faceUp)
        return;
    runFlipTo(sideIndex, nextGeneration());
}

QCoro::Task<> Turntable::runFlipTo(qint64 side, qint64 generation)
{
    try {
        co_await flip(side, generation);
    } catch (const Cancelled &) {
    }
}

} // namespace velloran
