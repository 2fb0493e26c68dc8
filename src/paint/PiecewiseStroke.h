#pragma once

#include <QPainter>
#include <QPen>

namespace velloran {

// Strokes the curve x -> at(x) from x = `from` until a piece starts past `to`, one straight
// piece `step` long at a time, with flat caps. The raster engine keeps a sorted list of cells
// per scanline, so the cost of one long antialiased path grows with the square of its length;
// short pieces meeting end to end show the same line for a small part of that, which is what
// the hundreds of grain lines across a board or a table need.
template <typename At>
void strokeInPieces(QPainter &painter, QPen pen, double from, double to, double step, At &&at)
{
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    for (double x = from; x <= to; x += step)
        painter.drawLine(at(x), at(x + step));
}

} // namespace velloran
