#include "scenes/deck/DeckMotion.h"

#include "scenes/deck/DeckGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velloran {

namespace {

constexpr double degreesToRadians(double degrees) { return degrees * std::numbers::pi / 180.0; }

} // namespace

void DeckMotion::step(double time, const DeckInputs &inputs)
{
    // A stalled or backwards clock never produces a jump, and a long pause is absorbed.
    const double dt = m_last ? time - *m_last : 0.0;
    const double h = dt >= 0.0 ? std::min(dt, maxFrameTime) : 0.0;
    m_last = time;

    if (m_needsSnap) {
        m_needsSnap = false;
        m_rpm = inputs.motor ? inputs.targetRPM : 0.0;
        m_arm = inputs.drag ? *inputs.drag : inputs.rest ? restAngle : inputs.armTarget;
        m_lift = (inputs.drag || inputs.lifted) ? 1.0 : 0.0;
        m_isMoving = m_rpm > 0.0;
        return;
    }

    const double target = inputs.motor ? inputs.targetRPM : 0.0;
    const double k = std::min(h * (m_rpm < target ? spinUpRate : spinDownRate), 1.0);
    m_rpm += k * (target - m_rpm);
    if (std::abs(target - m_rpm) < speedSnap)
        m_rpm = target;

    m_rotation = std::fmod(m_rotation + h * m_rpm * 6.0, 360.0);
    if (m_rotation < 0.0)
        m_rotation += 360.0;

    if (inputs.drag) {
        m_arm = *inputs.drag;
        m_lift = std::min(m_lift + h / dragLiftTime, 1.0);
        // Frame times summed in floating point may fall a hair short of the full lift.
        if (m_lift > 1.0 - 1e-9)
            m_lift = 1.0;
        m_isMoving = true;
        return;
    }

    const double goal = inputs.rest ? restAngle : inputs.armTarget;
    const double d = std::abs(goal - m_arm);
    const bool near = d <= nearAngle;

    // A travelling arm is raised; a resting arm is lowered onto its rest; a tracking arm is
    // lowered only once the platter runs close to its speed.
    double liftGoal = 1.0;
    if (near) {
        if (inputs.motor) {
            if ((inputs.rest || loweringSpeedFraction * inputs.targetRPM < m_rpm) && !inputs.lifted)
                liftGoal = 0.0;
        } else if (!inputs.lifted) {
            liftGoal = 0.0;
        }
    }

    const double liftStep = h / liftTime;
    if (std::abs(liftGoal - m_lift) <= liftStep)
        m_lift = liftGoal;
    else
        m_lift += liftGoal > m_lift ? liftStep : -liftStep;

    if (near) {
        if (!inputs.rest && m_lift < loweredLift)
            m_arm = inputs.armTarget + wobble * std::sin(degreesToRadians(m_rotation));
        else
            m_arm = goal;
    } else if (m_lift > raisedLift) {
        const double travel = std::min({std::max(minArmSpeed * h, armSpeedPerDegree * d * h), d, maxArmSpeed * h});
        m_arm += goal > m_arm ? travel : -travel;
    }

    m_isMoving = m_rpm > 0.0 || d > nearAngle || m_lift != liftGoal || m_rpm != target;
}

double armAngle(double radius)
{
    double lower = 0.0;
    double upper = 60.0;
    for (int i = 0; i < 40; ++i) {
        const double theta = (lower + upper) / 2.0;
        const double x = deck::tonearmPivot.x() - deck::armLength * std::sin(degreesToRadians(theta));
        const double y = deck::tonearmPivot.y() + deck::armLength * std::cos(degreesToRadians(theta));
        const double d = std::hypot(x - deck::platterCentre.x(), y - deck::platterCentre.y());
        // Still outside the wanted groove: the stylus must swing further in.
        if (radius < d)
            lower = theta;
        else
            upper = theta;
    }
    return (lower + upper) / 2.0;
}

} // namespace velloran
