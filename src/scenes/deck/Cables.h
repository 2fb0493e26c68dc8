#pragma once

#include "paint/RenderCache.h"
#include "paint/Sprite.h"

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QPointF>

namespace velloran {

// One cable running from the back of the deck off the top of the table, as two cubic
// segments; all points in stage coordinates.
struct Cable {
    QPointF start;
    QPointF c1;
    QPointF c2;
    QPointF mid;
    QPointF c3;
    QPointF c4;
    QPointF end;
    QColor color;
    double width = 1.0;
    bool sheen = false;

    QPainterPath path() const;

    bool operator==(const Cable &) const = default;
};

// The deck's four cables: mains, the left and right signal leads and the earth wire.
const QList<Cable> &deckCables();

// Draws the cables with their plugs and collars at the deck's rear edge. Drawn once; the
// sprite's origin is in stage points.
class CablesRenderer {
public:
    const Sprite &sprite(const QList<Cable> &cables, qreal devicePixelRatio);
    int renderCount() const { return m_cache.renderCount(); }

    static Sprite render(const QList<Cable> &cables, qreal devicePixelRatio);

private:
    RenderCache<QList<Cable>, Sprite> m_cache;
};

} // namespace velloran
