#pragma once

namespace velloran {

// A damped spring toward a target, described the way the program's animations are: by its
// response (the period of the undamped oscillation, in seconds) and its damping fraction
// (1 settles without overshoot, below 1 overshoots). Advancing solves the motion exactly
// for the elapsed time, so the result does not depend on the frame rate.
class DampedSpring {
public:
    DampedSpring(double response, double dampingFraction, double value = 0.0);

    double value() const { return m_value; }
    double velocity() const { return m_velocity; }
    double target() const { return m_target; }

    void setTarget(double target) { m_target = target; }
    // Jumps to a value at rest, without animating.
    void snapTo(double value);
    void advance(double seconds);

    // At the target and still, within `tolerance` in value and in value per second.
    bool isSettled(double tolerance = 1e-3) const;

private:
    double m_omega;
    double m_zeta;
    double m_value;
    double m_velocity = 0.0;
    double m_target;
};

} // namespace velloran
