#include "scenes/crate/CardOcclusion.h"

#include <algorithm>
#include <cmath>

namespace velloran::crate {

namespace {

// The light edge a card is stroked with and its rounded corners lie within this of its sides.
constexpr double edgeInset = 3;
// A divider's tab stands this high over its body.
constexpr double tabHeight = 40;

} // namespace

bool opaqueWithin(const QImage &image, const QRectF &rect)
{
    if (!image.hasAlphaChannel())
        return !image.isNull();
    if (image.format() != QImage::Format_ARGB32_Premultiplied && image.format() != QImage::Format_ARGB32)
        return false;
    const qreal dpr = image.devicePixelRatio();
    const QRect pixels = QRectF(rect.topLeft() * dpr, rect.size() * dpr).toAlignedRect();
    if (!image.rect().contains(pixels))
        return false;
    const QRect &area = pixels;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return !area.isEmpty();
}

QRectF opaqueFace(const QImage &card, double side, bool divider)
{
    const QRectF face = QRectF(0, divider ? tabHeight : 0, side, divider ? side - tabHeight : side)
                            .adjusted(edgeInset, edgeInset, -edgeInset, -edgeInset);
    return opaqueWithin(card, face) ? face.adjusted(1, 1, -1, -1) : QRectF();
}

QRegion pointsInside(const QRectF &rect)
{
    const QPoint from(int(std::ceil(rect.left())), int(std::ceil(rect.top())));
    const QPoint to(int(std::floor(rect.right())), int(std::floor(rect.bottom())));
    if (to.x() <= from.x() || to.y() <= from.y())
        return {};
    return QRegion(QRect(from, QSize(to.x() - from.x(), to.y() - from.y())));
}

QRegion pointsInside(const QPolygonF &quad, int bands)
{
    if (quad.size() < 4)
        return {};
    const double top = std::max(quad[0].y(), quad[1].y());
    const double bottom = std::min(quad[2].y(), quad[3].y());
    if (bottom <= top)
        return {};
    // Along the left (top-left to bottom-left) and right edges at a height.
    const auto along = [](QPointF a, QPointF b, double y) {
        return b.y() == a.y() ? a.x() : a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y());
    };
    QRegion inside;
    for (int i = 0; i < bands; ++i) {
        const double y0 = top + (bottom - top) * i / bands;
        const double y1 = top + (bottom - top) * (i + 1) / bands;
        const double left = std::max(along(quad[0], quad[3], y0), along(quad[0], quad[3], y1));
        const double right = std::min(along(quad[1], quad[2], y0), along(quad[1], quad[2], y1));
        inside += pointsInside(QRectF(QPointF(left, y0), QPointF(right, y1)));
    }
    return inside;
}

QRegion pointsTouched(const QRectF &rect)
{
    if (rect.isEmpty())
        return {};
    return QRegion(rect.toAlignedRect());
}

} // namespace velloran::crate
