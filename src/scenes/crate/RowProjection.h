#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QTransform>

namespace velloran::crate {

// A card tipped about a level axis keeps every row of its pixels on one row of the screen,
// each row only scaled and moved sideways. Such a projection is drawn here row by row,
// sampled plainly, into an image at whole device pixels that is then copied: several times
// cheaper than the raster engine's perspective drawing, which works out every pixel on its own
// (and hands large drawings to its threads). Edges are covered by their fraction, as an
// antialiased drawing's are.
class RowProjection {
public:
    // Whether a transform (image points to the painter's coordinates) keeps rows level.
    static bool keepsRowsLevel(const QTransform &transform);

    // Draws `image` (its points) through `transform` with `shade` laid over its whole square,
    // only inside `clip` (the painter's coordinates). The painter's opacity applies to the
    // shaded card as a whole.
    void draw(QPainter &painter, const QImage &image, const QTransform &transform, const QColor &shade,
              const QRectF &clip);

private:
    QImage m_rows; // kept between drawings, grown as needed
};

} // namespace velloran::crate
