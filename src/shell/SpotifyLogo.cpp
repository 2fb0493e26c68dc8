#include "shell/SpotifyLogo.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace velloran {

namespace {

// One bar of the mark: a band between two arcs, thicker in the middle, with round ends.
QPainterPath bar(double left, double right, double y, double sag, double width)
{
    QPainterPath path;
    path.moveTo(left, y + sag * 0.55);
    path.cubicTo(left + (right - left) * 0.3, y - sag * 0.35, left + (right - left) * 0.7, y - sag * 0.15, right,
                 y + sag * 0.75);
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path);
}

} // namespace

void paintSpotifyLogo(QPainter &painter, const QRectF &rect, const QColor &color)
{
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize pixels = (rect.size() * dpr).toSize().expandedTo({1, 1});
    QImage layer(pixels, QImage::Format_ARGB32_Premultiplied);
    layer.setDevicePixelRatio(dpr);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(rect.width() / 168.0, rect.height() / 168.0);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QRectF(0, 0, 168, 168));
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setBrush(Qt::black);
        p.drawPath(bar(36, 134, 62, 16, 17));
        p.drawPath(bar(42, 126, 89, 12, 13.5));
        p.drawPath(bar(47, 117, 114, 9, 10.5));
    }
    painter.drawImage(rect, layer);
}

} // namespace velloran
