#pragma once

#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QPainter>
#include <QPointF>

namespace velloran {

// The tonearm at its rest pose, drawn once with the pivot at the origin (stylus 320 points
// below it), then rotated and scaled about the pivot every frame. Its shadow is blurred
// once at the lowered and the raised radius; frames in between blend the two.
class TonearmRenderer {
public:
    // The drawing's frame relative to the pivot: 140 x 520 with the pivot at (70, 100).
    static constexpr QPointF frameOrigin{-70.0, -100.0};

    // Draws the arm with its pivot at `pivot`, at angle `arm` degrees and lift `lift`.
    void paint(QPainter &painter, QPointF pivot, double arm, double lift, qreal devicePixelRatio);

    const Sprite &arm(qreal devicePixelRatio);
    int renderCount() const { return m_arm.renderCount(); }

    static Sprite render(qreal devicePixelRatio);

private:
    struct Shadows {
        Sprite lowered;
        Sprite raised;
    };
    RenderCache<NoKey, Sprite> m_arm;
    RenderCache<NoKey, Shadows> m_shadows;
};

// The smoothstep of the lift that the arm's placement effects follow.
double easedLift(double lift);

} // namespace velloran
