#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace velloran {

// The streaming service's mark: a filled circle with its three curved bars cut out, drawn in
// a 168-unit square scaled into `rect`. The cut-out leaves the bars transparent, so the mark
// is drawn into its own layer and composed from there.
void paintSpotifyLogo(QPainter &painter, const QRectF &rect, const QColor &color);

} // namespace velloran
