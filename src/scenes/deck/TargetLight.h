#pragma once

#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QPainter>
#include <QSizeF>

namespace velloran {

// The target light's face, 26 x 26: a metal bezel around a lens that glows warm when lit.
// The lit and the dark face are drawn once; while the light turns on or off, a frame blends
// them by `amount` (0 off, 1 on).
class TargetLightRenderer {
public:
    static constexpr QSizeF size{26.0, 26.0};
    static inline const QColor lensOn{255, 243, 220};
    static inline const QColor lensOff{74, 74, 70};

    // Draws the face with its frame's top-left corner at the painter's origin.
    void paint(QPainter &painter, double amount, qreal devicePixelRatio);

    static Sprite render(bool on, qreal devicePixelRatio);

private:
    struct Faces {
        Sprite off;
        Sprite on;
    };
    RenderCache<NoKey, Faces> m_cache;
};

// The warm pool of light the target lamp casts on the platter, 280 x 200, for a lightening
// blend over the deck.
class TargetGlowRenderer {
public:
    static constexpr QSizeF size{280.0, 200.0};

    // Draws the glow centred at `centre` at the given opacity.
    void paint(QPainter &painter, QPointF centre, double opacity, qreal devicePixelRatio);

private:
    RenderCache<NoKey, QImage> m_cache;
};

} // namespace velloran
