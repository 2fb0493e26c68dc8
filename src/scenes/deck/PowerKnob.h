#pragma once

#include "paint/RenderCache.h"
#include "paint/Spring.h"
#include "paint/Sprite.h"

#include <QPainter>
#include <QSizeF>

namespace velloran {

// The power knob's turn: to 60 degrees when the deck is switched on and back to 0 when
// off, on a lively spring that overshoots a little, like a detented switch.
class PowerKnobMotion {
public:
    static constexpr double onAngle = 60.0;
    static constexpr double response = 0.35;
    static constexpr double dampingFraction = 0.55;

    explicit PowerKnobMotion(bool power = false);

    void setPower(bool power);
    void advance(double seconds) { m_spring.advance(seconds); }
    double angle() const { return m_spring.value(); }
    bool isMoving() const { return !m_spring.isSettled(1e-3); }

private:
    DampedSpring m_spring;
};

// The knob itself, 48 x 48: turned metal with a pointer bar. The face is drawn once and
// rotated; its round shadow is not.
class PowerKnobRenderer {
public:
    static constexpr QSizeF size{48.0, 48.0};

    // Draws the knob centred at the painter's origin, turned by `angle` degrees.
    void paint(QPainter &painter, double angle, qreal devicePixelRatio);

private:
    struct Parts {
        Sprite shadow;
        Sprite face;
    };
    static Parts render(qreal devicePixelRatio);
    RenderCache<NoKey, Parts> m_cache;
};

} // namespace velloran
