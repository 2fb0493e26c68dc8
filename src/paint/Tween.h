#pragma once

#include <QEasingCurve>

#include <algorithm>

namespace velloran {

// A value easing from one number to another over a fixed time, read at any instant (seconds
// on the stage's clock); at rest it simply holds its target.
class Tween {
public:
    Tween(double duration, QEasingCurve curve, double value = 0)
        : m_duration(duration)
        , m_curve(std::move(curve))
        , m_from(value)
        , m_to(value)
    {
    }

    // Starts toward `target` from wherever the value is at `now`.
    void setTarget(double target, double now)
    {
        if (target == m_to)
            return;
        m_from = value(now);
        m_to = target;
        m_start = now;
    }
    void snapTo(double value)
    {
        m_from = m_to = value;
        m_start = -1e9;
    }

    double target() const { return m_to; }
    double value(double now) const
    {
        const double p = progress(now);
        return p >= 1 ? m_to : m_from + (m_to - m_from) * m_curve.valueForProgress(p);
    }
    bool isRunning(double now) const { return progress(now) < 1; }

private:
    double progress(double now) const
    {
        return m_duration > 0 ? std::clamp((now - m_start) / m_duration, 0.0, 1.0) : 1.0;
    }

    double m_duration;
    QEasingCurve m_curve;
    double m_from;
    double m_to;
    double m_start = -1e9;
};

} // namespace velloran
