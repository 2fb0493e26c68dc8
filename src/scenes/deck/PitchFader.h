#pragma once

#include "paint/Palette.h"
#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QPainter>
#include <QSizeF>

#include <optional>

namespace velloran {

// The pitch fader's drag rule: a drag moves the pitch from its value when the drag began,
// 8.5 points per percent (down is faster), in tenths, with a detent at 0 and stops at ±8.
class PitchFaderDrag {
public:
    static constexpr double pointsPerPercent = 8.5;
    static constexpr double range = 8.0;
    static constexpr double detent = 0.4;

    // The new pitch for a drag that has moved `translationY` points since it began; the
    // first change of a drag remembers `currentPitch` as its start.
    double change(double currentPitch, double translationY);
    void end() { m_dragStart.reset(); }
    bool isDragging() const { return m_dragStart.has_value(); }

    // A double-click returns to the centre.
    static double reset() { return 0.0; }

    // The pitch a drag from `start` by `translationY` points gives.
    static double pitchFor(double start, double translationY);

private:
    std::optional<double> m_dragStart;
};

// The fader, 40 x 160: a slot with ticks, the green centre marker, and the knob, 8.5 points
// lower per percent of pitch. The slot and the knob are drawn once.
class PitchFaderRenderer {
public:
    static constexpr QSizeF size{40.0, 160.0};
    static constexpr QSizeF knobSize{33.0, 22.0};

    // The knob's top edge, from the fader's top.
    static double knobTop(double pitch);

    // Draws the fader with its frame's top-left corner at the painter's origin.
    void paint(QPainter &painter, double pitch, qreal devicePixelRatio, const Palette &palette = Palette::deck());

private:
    struct Parts {
        Sprite slot;
        Sprite knob;
    };
    static Parts render(const Palette &palette, qreal devicePixelRatio);
    RenderCache<Palette, Parts> m_cache;
};

} // namespace velloran
