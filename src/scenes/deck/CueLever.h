#pragma once

#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QPainter>
#include <QSizeF>

namespace velloran {

// The cue lever, 36 x 88: a housing with a slot and a handle that rides 38 points up as the
// arm lifts. Housing and handle are drawn once; a frame only places the handle.
class CueLeverRenderer {
public:
    static constexpr QSizeF size{36.0, 88.0};
    static constexpr QSizeF handleSize{24.0, 16.0};

    // The handle's top edge, from the housing's top, for a lever position in [0, 1].
    static double handleTop(double raised);

    // Draws the lever with its frame's top-left corner at the painter's origin.
    void paint(QPainter &painter, double raised, qreal devicePixelRatio);

private:
    struct Parts {
        Sprite housing;
        Sprite handle;
    };
    static Parts render(qreal devicePixelRatio);
    RenderCache<NoKey, Parts> m_cache;
};

} // namespace velloran
