#include "paint/Spring.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velloran {

DampedSpring::DampedSpring(double response, double dampingFraction, double value)
    : m_omega(2.0 * std::numbers::pi / std::max(response, 1e-6))
    , m_zeta(std::max(dampingFraction, 0.0))
    , m_value(value)
    , m_target(value)
{
}

void DampedSpring::snapTo(double value)
{
    m_value = value;
    m_target = value;
    m_velocity = 0.0;
}

void DampedSpring::advance(double seconds)
{
    if (!(seconds > 0.0))
        return;
    const double t = seconds;
    const double x0 = m_value - m_target;
    const double v0 = m_velocity;
    const double w = m_omega;
    double x = 0.0;
    double v = 0.0;
    if (m_zeta < 1.0) {
        const double wd = w * std::sqrt(1.0 - m_zeta * m_zeta);
        const double decay = std::exp(-m_zeta * w * t);
        const double a = x0;
        const double b = (v0 + m_zeta * w * x0) / wd;
        const double c = std::cos(wd * t);
        const double s = std::sin(wd * t);
        x = decay * (a * c + b * s);
        v = decay * ((b * wd - m_zeta * w * a) * c - (a * wd + m_zeta * w * b) * s);
    } else if (m_zeta == 1.0) {
        const double decay = std::exp(-w * t);
        const double b = v0 + w * x0;
        x = (x0 + b * t) * decay;
        v = (b - w * (x0 + b * t)) * decay;
    } else {
        const double root = std::sqrt(m_zeta * m_zeta - 1.0);
        const double r1 = -w * (m_zeta - root);
        const double r2 = -w * (m_zeta + root);
        const double c2 = (v0 - r1 * x0) / (r2 - r1);
        const double c1 = x0 - c2;
        x = c1 * std::exp(r1 * t) + c2 * std::exp(r2 * t);
        v = c1 * r1 * std::exp(r1 * t) + c2 * r2 * std::exp(r2 * t);
    }
    m_value = m_target + x;
    m_velocity = v;
}

bool DampedSpring::isSettled(double tolerance) const
{
    return std::abs(m_value - m_target) <= tolerance && std::abs(m_velocity) <= tolerance;
}

} // namespace velloran
