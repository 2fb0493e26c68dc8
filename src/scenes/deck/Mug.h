#pragma once

#include "paint/Palette.h"
#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QSizeF>

namespace velloran {

// A coffee mug seen from above, in a 116 x 116 frame: cup, rim, coffee and handle with their
// shadows on the table. Drawn once; the sprite's origin is relative to the frame's centre.
class MugRenderer {
public:
    static constexpr QSizeF frame{116.0, 116.0};

    const Sprite &sprite(qreal devicePixelRatio, const Palette &palette = Palette::deck());
    int renderCount() const { return m_cache.renderCount(); }

    static Sprite render(const Palette &palette, qreal devicePixelRatio);

private:
    RenderCache<Palette, Sprite> m_cache;
};

} // namespace velloran
