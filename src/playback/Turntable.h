#pragma once

#include "core/Clock.h"
#include "model/Record.h"
#include "playback/DiscMove.h"
#include "playback/PlaybackController.h"

#include <QObject>
#include <QSettings>

#include <optional>

namespace velloran {

// The deck on the tabletop: which record's sleeve lies there, where its disc is, the
// switches, the tonearm and the short choreographies that move a disc out of its sleeve,
// flip it or put it back. Gestures become controller commands; in the other direction the
// deck follows the controller when it changes record, side or status.
//
// Every choreography is a coroutine that waits between steps; starting a new one bumps the
// generation, and an older one stops at its next wait.
class Turntable : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::optional<velloran::Record> record READ record NOTIFY recordChanged)
    Q_PROPERTY(velloran::Turntable::Place place READ place NOTIFY placeChanged)
    Q_PROPERTY(bool settled READ settled NOTIFY settledChanged)
    Q_PROPERTY(qint64 faceUp READ faceUp NOTIFY faceUpChanged)
    Q_PROPERTY(bool flipping READ flipping NOTIFY flippingChanged)
    Q_PROPERTY(bool sleeveAway READ sleeveAway NOTIFY sleeveAwayChanged)
    Q_PROPERTY(std::optional<velloran::DiscMove> discMove READ discMove NOTIFY discMoveChanged)
    Q_PROPERTY(bool sleeveArriving READ sleeveArriving NOTIFY sleeveArrivingChanged)
    Q_PROPERTY(std::optional<velloran::Turntable::Incoming> incoming READ incoming NOTIFY incomingChanged)
    Q_PROPERTY(bool sleeveEmpty READ sleeveEmpty NOTIFY sleeveEmptyChanged)
    Q_PROPERTY(bool power READ power NOTIFY powerChanged)
    Q_PROPERTY(bool motor READ motor NOTIFY motorChanged)
    Q_PROPERTY(bool armParked READ armParked NOTIFY armParkedChanged)
    Q_PROPERTY(std::optional<double> dragAngle READ dragAngle WRITE setDragAngle NOTIFY dragAngleChanged)
    Q_PROPERTY(std::optional<qint64> sideOver READ sideOver NOTIFY sideOverChanged)
    Q_PROPERTY(double pitch READ pitch WRITE setPitch NOTIFY pitchChanged)
    Q_PROPERTY(bool targetLight READ targetLight WRITE setTargetLight NOTIFY targetLightChanged)
    Q_PROPERTY(bool at45 READ at45 WRITE setAt45 NOTIFY at45Changed)

public:
    enum class Place { sleeve, platter };
    Q_ENUM(Place)
    enum class Incoming { holding, landing };
    Q_ENUM(Incoming)

    static inline const QString at45Key = QStringLiteral("deckAt45");
    static constexpr double outSeconds = 1.6;
    static constexpr double inSeconds = 1.36;
    static constexpr double parkSeconds = 0.9;
    static constexpr double flipHalfSeconds = 0.462;
    static constexpr double sleeveAwaySeconds = 0.45;
    static constexpr double idleMotorSeconds = 90;

    Turntable(PlaybackController &controller, Clock &clock, QSettings &settings, QObject *parent = nullptr);

    const std::optional<Record> &record() const { return m_record; }
    Place place() const { return m_place; }
    bool settled() const { return m_settled; }
    qint64 faceUp() const { return m_faceUp; }
    bool flipping() const { return m_flipping; }
    bool sleeveAway() const { return m_sleeveAway; }
    const std::optional<DiscMove> &discMove() const { return m_discMove; }
    bool sleeveArriving() const { return m_sleeveArriving; }
    std::optional<Incoming> incoming() const { return m_incoming; }
    bool sleeveEmpty() const { return m_sleeveEmpty; }
    bool power() const { return m_power; }
    bool motor() const { return m_motor; }
    bool armParked() const { return m_armParked; }
    std::optional<double> dragAngle() const { return m_dragAngle; }
    void setDragAngle(std::optional<double> angle);
    std::optional<qint64> sideOver() const { return m_sideOver; }
    double pitch() const { return m_pitch; }
    void setPitch(double pitch);
    bool targetLight() const { return m_targetLight; }
    void setTargetLight(bool on);
    bool at45() const { return m_at45; }
    void setAt45(bool value);

    PlaybackController &controller() const { return m_controller; }
    double rpm() const;
    bool isOnCurrentSide() const;
    // Where the stylus sits for an arm angle, in stage points.
    static std::pair<double, double> stylusPosition(double angleDegrees);

    void load(const Record &record, bool arriving);
    void place(const Record &record);
    QCoro::Task<> putAway();
    void play(qint64 side, bool useFaceUp, qint64 track);
    void togglePower();
    void startStop();
    void cue();
    void releaseArm(double angleDegrees);

Q_SIGNALS:
    void recordChanged(std::optional<velloran::Record> record);
    void placeChanged(velloran::Turntable::Place place);
    void settledChanged(bool settled);
    void faceUpChanged(qint64 faceUp);
    void flippingChanged(bool flipping);
    void sleeveAwayChanged(bool sleeveAway);
    void discMoveChanged(std::optional<velloran::DiscMove> discMove);
    void sleeveArrivingChanged(bool sleeveArriving);
    void incomingChanged(std::optional<velloran::Turntable::Incoming> incoming);
    void sleeveEmptyChanged(bool sleeveEmpty);
    void powerChanged(bool power);
    void motorChanged(bool motor);
    void armParkedChanged(bool armParked);
    void dragAngleChanged(std::optional<double> dragAngle);
    void sideOverChanged(std::optional<qint64> sideOver);
    void pitchChanged(double pitch);
    void targetLightChanged(bool targetLight);
    void at45Changed(bool at45);

private:
    struct Cancelled {};
    struct Gone {};

    template<typename T, typename Signal>
    void assign(T &field, const T &value, Signal signal);

    qint64 nextGeneration() { return ++m_generation; }
    QCoro::Task<> wait(double seconds, qint64 generation);
    QCoro::Task<> waitForRunningMove(qint64 generation);
    void setSleeveEmptyLater(bool empty, double delaySeconds);

    QCoro::Task<> seatDisc(qint64 generation);
    QCoro::Task<> stowDisc(bool parkFirst, qint64 generation);
    QCoro::Task<> flip(qint64 toFace, qint64 generation);
    QCoro::Task<> playSideA(qint64 generation);

    // The arrival flags (`incoming` with `sleeveArriving`, and `sleeveAway`) belong to the
    // choreography that last set them; a superseded owner clears them on its way out.
    void releaseArrival(qint64 generation);

    QCoro::Task<> runLoad(Record record, bool arriving, qint64 generation);
    QCoro::Task<> runPlace(Record record, qint64 generation);
    QCoro::Task<> runPlay(qint64 side, qint64 track, qint64 generation);
    QCoro::Task<> runAdopt(Record record, qint64 side, qint64 generation);
    QCoro::Task<> runFlipTo(qint64 side, qint64 generation);
    QCoro::Task<> runIdleMotor(qint64 token);
    void parkAndStop();

    void followStatus(PlaybackController::Status status);
    void followRecord(const std::optional<Record> &record);
    void followSide(qint64 sideIndex);

    PlaybackController &m_controller;
    Clock &m_clock;
    QSettings &m_settings;

    std::optional<Record> m_record;
    Place m_place = Place::sleeve;
    bool m_settled = false;
    qint64 m_faceUp = 0;
    bool m_flipping = false;
    bool m_sleeveAway = false;
    std::optional<DiscMove> m_discMove;
    bool m_sleeveArriving = false;
    std::optional<Incoming> m_incoming;
    bool m_sleeveEmpty = false;
    bool m_power = false;
    bool m_motor = false;
    bool m_armParked = false;
    std::optional<double> m_dragAngle;
    std::optional<qint64> m_sideOver;
    double m_pitch = 0;
    bool m_targetLight = false;
    bool m_at45 = false;

    qint64 m_generation = 0;
    qint64 m_idleMotorToken = 0;
    qint64 m_sleeveEmptyToken = 0;
    qint64 m_arrivalOwner = 0;
    qint64 m_sleeveAwayOwner = 0;

    // Last values seen from the controller, to drop repeats.
    PlaybackController::Status m_seenStatus;
    std::optional<QString> m_seenRecordID;
    qint64 m_seenSideIndex;
};

} // namespace velloran

Q_DECLARE_METATYPE(std::optional<velloran::DiscMove>)
