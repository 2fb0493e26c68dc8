#include "scenes/rooms/SleeveFlightMotion.h"

#include "paint/TimingCurves.h"
#include "scenes/turntable/StageFit.h"

#include <algorithm>

namespace velloran::rooms {

namespace {

constexpr double sleeveSide = 330;
constexpr QPointF sleeveCentre{285, 470};

} // namespace

SleevePose SleevePose::mix(const SleevePose &from, const SleevePose &to, double t)
{
    const auto lerp = [t](double a, double b) { return a + (b - a) * t; };
    return {QRectF(lerp(from.frame.x(), to.frame.x()), lerp(from.frame.y(), to.frame.y()),
                   lerp(from.frame.width(), to.frame.width()), lerp(from.frame.height(), to.frame.height())),
            lerp(from.angle, to.angle), lerp(from.opacity, to.opacity)};
}

QRectF restingRect(QSizeF view)
{
    const StageFit fit = StageFit::fit(view);
    const double side = sleeveSide * fit.scale;
    const QPointF centre = fit.toWindow(sleeveCentre);
    return {centre.x() - side / 2, centre.y() - side / 2, side, side};
}

QEasingCurve SleeveFlightMotion::landingCurve()
{
    return timing::cubic(0.3, 0.7, 0.2, 1.0);
}

void SleeveFlightMotion::start(const QRectF &from)
{
    m_pose = m_from = m_to = SleevePose{from, 0, 1};
    m_kind = Kind::still;
    m_spring.snapTo(1);
    m_last.reset();
}

void SleeveFlightMotion::hold(QSizeF view)
{
    const QRectF rest = restingRect(view);
    m_from = m_pose;
    m_to = SleevePose{rest.translated(-0.62 * rest.width(), -0.42 * rest.height()), holdAngle, 1};
    m_kind = Kind::spring;
    m_spring.snapTo(0);
    m_spring.setTarget(1);
}

void SleeveFlightMotion::land(QSizeF view, double now)
{
    m_from = m_pose;
    m_to = SleevePose{restingRect(view), landAngle, 1};
    m_kind = Kind::curve;
    m_start = now;
}

void SleeveFlightMotion::advance(double now)
{
    const double dt = m_last ? std::clamp(now - *m_last, 0.0, 0.05) : 0.0;
    m_last = now;
    switch (m_kind) {
    case Kind::still:
        return;
    case Kind::spring:
        m_spring.advance(dt);
        m_pose = SleevePose::mix(m_from, m_to, m_spring.value());
        if (m_spring.isSettled(1e-4)) {
            m_pose = m_to;
            m_kind = Kind::still;
        }
        return;
    case Kind::curve: {
        const double p = std::clamp((now - m_start) / landSeconds, 0.0, 1.0);
        m_pose = SleevePose::mix(m_from, m_to, landingCurve().valueForProgress(p));
        if (p >= 1) {
            m_pose = m_to;
            m_kind = Kind::still;
        }
        return;
    }
    }
}

bool SleeveFlightMotion::isMoving() const
{
    return m_kind != Kind::still;
}

} // namespace velloran::rooms
