#pragma once

#include "scenes/crate/CardPose.h"

#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

namespace velloran::crate {

// Where the crate and its cards stand in a view of a given size, in view points: the cards
// are squares of side `card` whose bottom edges rest on the line `baseline` inside the crate
// (before their pose moves them); the front board hides their feet.
struct CrateGeometry {
    static constexpr double topInset = 48;      // room for the kind control
    static constexpr double captionSpace = 104; // the caption row and the margin under it
    static constexpr double captionPadding = 18;
    static constexpr double captionMaxWidth = 700;
    static constexpr double maxCard = 360;
    static constexpr double minCard = 120;
    // The tilts are seen from three card sides away: cards tipped forward come visibly
    // nearer without swelling past the crate.
    static constexpr double perspective = 1.0 / 3.0;

    QSizeF view;
    double card = 0;
    double centreX = 0;
    double baseline = 0;

    static CrateGeometry fit(QSizeF view);

    // The crate's box: its outer width, the front board, and the top of the back board.
    double crateWidth() const { return card * 1.3; }
    QRectF frontBoard() const;
    double backTop() const { return baseline - card * 0.5 - 40; }
    // Everything the moving cards can cover, the front board included.
    QRectF stackArea() const;
    // The caption row under the stack.
    QRectF captionRow() const;

    // Card points (0..card square) to view points for a pose.
    QTransform cardTransform(const CardPose &pose) const;
    QPolygonF cardQuad(const CardPose &pose) const;
};

} // namespace velloran::crate
