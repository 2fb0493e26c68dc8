#pragma once

#include "paint/Sprite.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

namespace velloran::shelf {

// One face-out cover on the ledge: its shadows, the cover and the sheen of its board, drawn
// leant and turned through a transform (cover points, origin at the cover's top-left corner,
// to the painter's coordinates).
//
// Drawing them through a perspective every frame costs several milliseconds a cover at pixel
// ratio 2, so a cover that stands still is drawn once, already projected, into an image at
// whole device pixels and copied from then on; only a cover on the move (a hover lifting it)
// is drawn through its transform.
class LedgeCover {
public:
    // Draws the cover through `transform`, as the still drawing when `still`.
    void paint(QPainter &painter, const QImage &cover, const Sprite &shadow, const QTransform &transform, bool still);

    // What the drawing covers, in the painter's coordinates.
    static QRectF bounds(const Sprite &shadow, const QTransform &transform);
    // The drawing itself, straight through the painter's transform.
    static void paintDirect(QPainter &painter, const QImage &cover, const Sprite &shadow);

    // How often the still drawing was really made.
    int projectionCount() const { return m_projections; }

private:
    qint64 m_coverKey = 0;
    qint64 m_shadowKey = 0;
    QTransform m_subpixel; // the device transform less the whole pixels of the drawing's corner
    QImage m_projected;
    int m_projections = 0;
};

} // namespace velloran::shelf
