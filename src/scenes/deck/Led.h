#pragma once

#include "paint/Palette.h"
#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QPainter>

namespace velloran {

// A small round lamp: lamp orange with a glow when lit, a dark ember when off. Both looks
// are drawn once per size; a frame blends them by `amount` while the lamp changes.
class LedRenderer {
public:
    // Draws a lamp of diameter `size` centred at `centre`.
    void paint(QPainter &painter, QPointF centre, double size, double amount, qreal devicePixelRatio,
               const Palette &palette = Palette::deck());

    static Sprite render(double size, bool on, const Palette &palette, qreal devicePixelRatio);

private:
    struct Key {
        double size = 0;
        Palette palette;
        bool operator==(const Key &) const = default;
    };
    struct Looks {
        Sprite off;
        Sprite on;
    };
    RenderCache<Key, Looks> m_cache;
};

} // namespace velloran
