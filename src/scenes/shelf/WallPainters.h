#pragma once

#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QImage>
#include <QPainter>
#include <QSize>

namespace velloran::shelf {

// The room's wall behind the shelves: painted panelling with a dado rail, the skirting along
// the floor, and brass wall lights whose warm pools join the evening lamp from the upper
// left, the same light that falls on the oak table. It stays put while the shelves scroll,
// so it is drawn once per window size and pixel ratio.
class WallBackground {
public:
    // `clearRight`: the lights keep to the left of this x (the controls float there). With
    // `makeshift`, the wall drawn last for another window, if there is one at this pixel ratio,
    // to be stretched over this one until its own is put in; its size tells.
    const QImage &image(QSize windowSize, double clearRight, qreal devicePixelRatio, bool makeshift = false);
    int renderCount() const { return m_cache.renderCount(); }
    bool holds(QSize windowSize, double clearRight, qreal devicePixelRatio) const
    {
        return m_cache.holds({windowSize, clearRight}, devicePixelRatio);
    }
    // A wall drawn elsewhere (on the drawing thread).
    void put(QSize windowSize, double clearRight, qreal devicePixelRatio, QImage image)
    {
        m_cache.put({windowSize, clearRight}, devicePixelRatio, std::move(image));
    }

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
    bool holds(double width, qreal devicePixelRatio) const { return m_cache.holds(width, devicePixelRatio); }
    // A board drawn elsewhere (on the drawing thread).
    void put(double width, qreal devicePixelRatio, Sprite board) { m_cache.put(width, devicePixelRatio, std::move(board)); }
    // Draws the board with its top-left corner at `at`, `width` long; with `makeshift`, the one
    // drawn last for another width is stretched to it, if there is one at this pixel ratio.
    void draw(QPainter &painter, QPointF at, double width, qreal devicePixelRatio, bool makeshift = false);

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
