#pragma once

#include "paint/Palette.h"
#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QPainter>

namespace velloran {

// A small knob-style dial: a turned-metal face with a pointer, drawn once per diameter and
// rotated by its angle.
class DialRenderer {
public:
    // Draws a dial of `diameter` centred at the painter's origin, its pointer at `angle`
    // degrees clockwise from twelve o'clock.
    void paint(QPainter &painter, double diameter, double angle, qreal devicePixelRatio,
               const Palette &palette = Palette::deck());

private:
    struct Key {
        double diameter = 0;
        Palette palette;
        bool operator==(const Key &) const = default;
    };
    struct Parts {
        Sprite shadow;
        Sprite face;
    };
    static Parts render(double diameter, const Palette &palette, qreal devicePixelRatio);
    RenderCache<Key, Parts> m_cache;
};

} // namespace velloran
