#pragma once

#include <QImage>
#include <QPolygonF>
#include <QRectF>
#include <QRegion>

namespace velloran::crate {

// What of a frame is hidden behind opaque things drawn later, so the cards under them need not
// be drawn there. Regions are in whole view points: what hides is rounded inwards, what is
// drawn outwards, so no pixel that shows is left out.

// Whether every pixel of an image inside a rectangle (in the image's points) is opaque.
bool opaqueWithin(const QImage &image, const QRectF &rect);

// The part of a card image (in card points, `side` square) whose pixels are all opaque, if the
// usual part (the face inside its rounded, lit edge; for a divider, its body under the tab)
// is, less a point all round so that resampling it reads opaque pixels only; a null
// rectangle when it is not.
QRectF opaqueFace(const QImage &card, double side, bool divider);

// The whole points inside a rectangle.
QRegion pointsInside(const QRectF &rect);
// The whole points inside a quadrilateral whose top and bottom edges are level (a card seen
// through the crate's perspective, corners clockwise from the top left), as a few level bands.
QRegion pointsInside(const QPolygonF &quad, int bands = 6);
// The whole points a rectangle touches.
QRegion pointsTouched(const QRectF &rect);

} // namespace velloran::crate
