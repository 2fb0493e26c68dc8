#include "scenes/crate/CrateGeometry.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace velloran::crate {

CrateGeometry CrateGeometry::fit(QSizeF view)
{
    CrateGeometry g;
    g.view = view;
    const double available = view.height() - topInset - captionSpace;
    // The stack is the current card lifted out (46 points) with its own height, and the front
    // board under it.
    g.card = std::clamp(std::min((available - 36) / 1.36, view.width() * 0.34), minCard, maxCard);
    const double stackHeight = g.card * 1.36 + 36;
    g.centreX = view.width() / 2;
    g.baseline = topInset + std::max(0.0, (available - stackHeight) / 2) + 46 + g.card;
    return g;
}

QRectF CrateGeometry::frontBoard() const
{
    const double width = crateWidth();
    return {centreX - width / 2, baseline - 10, width, card * 0.36};
}

QRectF CrateGeometry::stackArea() const
{
    // Cards tipped forward come nearer and so wider; the current one is lifted.
    const double top = baseline - 46 - card - 12;
    return QRectF(centreX - card * 0.9, top, card * 1.8, frontBoard().bottom() + 4 - top);
}

QRectF CrateGeometry::captionRow() const
{
    const double top = frontBoard().bottom() + captionPadding;
    const double width = std::min(captionMaxWidth, view.width() - 40);
    return {centreX - width / 2, top, width, 60};
}

QTransform CrateGeometry::cardTransform(const CardPose &pose) const
{
    QTransform t;
    t.translate(centreX, baseline + pose.dy);
    // A turn about the bottom edge seen from `card / perspective` away: the top leans away
    // from the viewer for a positive tilt, and comes nearer (and wider) for a negative one.
    const double a = qDegreesToRadians(pose.tilt);
    t = QTransform(1, 0, 0, 0, std::cos(a), -std::sin(a) / (card / perspective), 0, 0, 1) * t;
    t.scale(pose.scale, pose.scale);
    t.translate(-card / 2, -card);
    return t;
}

QPolygonF CrateGeometry::cardQuad(const CardPose &pose) const
{
    return cardTransform(pose).map(QPolygonF(QRectF(0, 0, card, card)));
}

} // namespace velloran::crate
