#pragma once

#include <optional>

namespace velloran {

// What the deck should be doing in one frame, derived from the turntable and the playback
// state by the stage.
struct DeckInputs {
    // The platter is driven.
    bool motor = false;
    // The speed the motor drives toward, in revolutions per minute.
    double targetRPM = 0.0;
    // The tracking angle, in degrees, for the current play position.
    double armTarget = 0.0;
    // The arm belongs on its rest; `armTarget` does not count.
    bool rest = true;
    // The arm must stay raised.
    bool lifted = false;
    // The angle the user is dragging the arm to; it overrides everything else for the arm.
    std::optional<double> drag;
};

// The deck's inertia: moves platter speed, platter angle, tonearm angle and tonearm lift a
// frame at a time toward the targets in `DeckInputs`. The platter spins up and coasts down,
// the arm lifts before it travels and lowers onto a groove only once the platter is almost
// at speed, and it wobbles a little with the record while it plays.
class DeckMotion {
public:
    static constexpr double maxFrameTime = 0.05;
    static constexpr double spinUpRate = 1.6;
    static constexpr double spinDownRate = 0.8;
    static constexpr double speedSnap = 0.02;
    static constexpr double restAngle = -4.0;
    static constexpr double nearAngle = 0.3;
    static constexpr double loweringSpeedFraction = 0.92;
    static constexpr double liftTime = 0.38;
    static constexpr double dragLiftTime = 0.2;
    static constexpr double wobble = 0.12;
    static constexpr double armSpeedPerDegree = 5.0;
    static constexpr double minArmSpeed = 4.0;
    static constexpr double maxArmSpeed = 32.0;
    static constexpr double loweredLift = 0.05;
    static constexpr double raisedLift = 0.95;

    // Platter speed in revolutions per minute.
    double rpm() const { return m_rpm; }
    // Platter angle in degrees, in [0, 360).
    double rotation() const { return m_rotation; }
    // Tonearm angle in degrees: 0 hangs straight down from the pivot, positive swings the
    // tip in over the record.
    double arm() const { return m_arm; }
    // Tonearm lift: 0 lowered (in the groove or on the rest), 1 fully raised.
    double lift() const { return m_lift; }
    // The time of the previous step, in seconds, once there was one.
    std::optional<double> last() const { return m_last; }
    // False once nothing animates any more: the frame loop may pause.
    bool isMoving() const { return m_isMoving; }
    // The next step jumps straight to the targets.
    bool needsSnap() const { return m_needsSnap; }

    // Advances to the frame at `time` (seconds on the display's clock). Allocation-free.
    void step(double time, const DeckInputs &inputs);

private:
    double m_rpm = 0.0;
    double m_rotation = 0.0;
    double m_arm = restAngle;
    double m_lift = 0.0;
    std::optional<double> m_last;
    bool m_isMoving = true;
    bool m_needsSnap = true;
};

// The tonearm angle, in degrees within [0, 60], that puts the stylus `radius` points from
// the platter centre.
double armAngle(double radius);

} // namespace velloran
