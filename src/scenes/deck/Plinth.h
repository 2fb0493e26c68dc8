#pragma once

#include "paint/Palette.h"
#include "paint/RenderCache.h"
#include "paint/Sprite.h"

namespace velloran {

// The deck's base: a dark walnut block with rounded corners and a bevelled edge, standing
// on the table with a close shadow and two wide, soft ones. Drawn once; the sprite's origin
// is relative to the plinth's top-left corner.
class PlinthRenderer {
public:
    const Sprite &sprite(qreal devicePixelRatio, const Palette &palette = Palette::deck());
    int renderCount() const { return m_cache.renderCount(); }

    static Sprite render(const Palette &palette, qreal devicePixelRatio);

private:
    RenderCache<Palette, Sprite> m_cache;
};

} // namespace velloran
