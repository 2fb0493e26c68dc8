#pragma once

#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QImage>
#include <QSize>

namespace velloran::shelf {

// The room's wall behind the shelves: painted panelling with a dado rail, the skirting along
// the floor, and brass wall lights whose warm pools join the evening lamp from the upper
// left, the same light that falls on the oak table. It stays put while the shelves scroll,
// so it is drawn once per window size and pixel ratio.
class WallBackground {
public:
    // `clearRight`: the lights keep to the left of this x (the controls float there).
    const QImage &image(QSize windowSize, double clearRight, qreal devicePixelRatio);
    int renderCount() const { return m_cache.renderCount(); }

    static QImage render(QSize windowSize, double clearRight, qreal devicePixelRatio);

private:
    struct Key {
        QSize size;
        double clearRight = 0;
        bool operator==(const Key &) const = default;
    };
    RenderCache<Key, QImage> m_cache;
};

// One oak shelf: the board seen from the front with a sliver of its lit top, the iron
// brackets under it, and the soft shadow both cast on the wall. Every shelf of the wall is
// the same board, cut from one plank. Origin: the board's top-left corner.
class OakShelfRenderer {
public:
    static constexpr double boardDepth = 18;

    const Sprite &sprite(double width, qreal devicePixelRatio);
    int renderCount() const { return m_cache.renderCount(); }

    static Sprite render(double width, qreal devicePixelRatio);

private:
    RenderCache<double, Sprite> m_cache;
};

// The steel book end closing the last shelf. Origin: its bottom-left corner, on the board.
class BookEndRenderer {
public:
    const Sprite &sprite(qreal devicePixelRatio);
    static Sprite render(qreal devicePixelRatio);

private:
    RenderCache<NoKey, Sprite> m_cache;
};

} // namespace velloran::shelf
