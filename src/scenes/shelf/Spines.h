#pragma once

#include "model/LibraryItem.h"
#include "paint/RenderCache.h"
#include "paint/Sprite.h"
#include "scenes/shelf/ShelfRules.h"

#include <QCache>
#include <QHashFunctions>
#include <QImage>
#include <QString>

namespace velloran::shelf {

// What a spine's drawing depends on.
struct SpineLook {
    QString title;
    QString artist;
    LibraryItem::Kind kind = LibraryItem::Kind::album;
    int thickness = thinnestSpine;
    SpineColours colours;

    bool operator==(const SpineLook &) const = default;
};

size_t qHash(const SpineLook &look, size_t seed = 0) noexcept;

// Draws spines (opaque, thickness x 262 points) and keeps the drawings of the last ones asked
// for, up to a budget of bytes, so that scrolling back over a shelf draws nothing anew. A
// row of a 1600 x 1000 window holds at most 6.1 MB of spines at pixel ratio 2 and such a
// window shows parts of four rows, so the budget keeps everything in view and a little more.
class SpineRenderer {
public:
    static constexpr qsizetype defaultBudgetBytes = 26 * 1024 * 1024;

    explicit SpineRenderer(qsizetype budgetBytes = defaultBudgetBytes);

    const QImage &image(const SpineLook &look, qreal devicePixelRatio);

    static QImage render(const SpineLook &look, qreal devicePixelRatio);

    qsizetype cachedBytes() const { return m_cache.totalCost(); }
    qsizetype budgetBytes() const { return m_cache.maxCost(); }
    qsizetype cachedCount() const { return m_cache.count(); }
    int renderCount() const { return m_renders; }
    void clear() { m_cache.clear(); }

private:
    struct Key {
        SpineLook look;
        qreal dpr = 1;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed) noexcept { return qHashMulti(seed, key.look, key.dpr); }

    QCache<Key, QImage> m_cache;
    QImage m_last;
    int m_renders = 0;
};

// The soft shadow a run of spines standing side by side casts on the wall behind, drawn as
// its edges only: the middle lies under the opaque spines. Lit from the upper left, it falls
// to the right and down.
class SpineRunShadow {
public:
    // The shadow of a run of `width` points with its bottom-left corner at `base`.
    void paint(QPainter &painter, QPointF base, double width, qreal devicePixelRatio);
    // The shadow of a single spine lifted off its row.
    void paintSingle(QPainter &painter, const QRectF &spine, qreal devicePixelRatio);

private:
    // The shadow of a short run, whose ends are drawn as they are, and its middle's top and
    // bottom edges drawn out long, so that no run is ever drawn stretched.
    struct Parts {
        Sprite run;
        QImage top;
        QImage bottom;
    };
    const Parts &parts(qreal dpr);
    RenderCache<NoKey, Parts> m_parts;
};

} // namespace velloran::shelf
