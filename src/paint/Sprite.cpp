#include "paint/Sprite.h"

#include <algorithm>
#include <cmath>

namespace velloran {

QImage makeCanvas(QSizeF logicalSize, qreal devicePixelRatio)
{
    const int w = qMax(1, int(std::ceil(logicalSize.width() * devicePixelRatio)));
    const int h = qMax(1, int(std::ceil(logicalSize.height() * devicePixelRatio)));
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter &painter)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
}

} // namespace velloran

namespace velloran {

Sprite cropSprite(const Sprite &sprite, const QRectF &rect)
{
    const qreal dpr = sprite.image.devicePixelRatio();
    const QRectF local = rect.translated(-sprite.origin);
    const QRect pixels = QRect(QPoint(int(std::floor(local.left() * dpr)), int(std::floor(local.top() * dpr))),
                               QPoint(int(std::ceil(local.right() * dpr)) - 1, int(std::ceil(local.bottom() * dpr)) - 1))
                             .intersected(sprite.image.rect());
    if (pixels.isEmpty())
        return {};
    QImage part = sprite.image.copy(pixels);
    part.setDevicePixelRatio(dpr);
    return {part, sprite.origin + QPointF(pixels.topLeft()) / dpr};
}

QRectF opaqueBounds(const Sprite &sprite)
{
    const QImage &image = sprite.image;
    int left = image.width();
    int right = -1;
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return {};
    const qreal dpr = image.devicePixelRatio();
    return QRectF(QPointF(left, top) / dpr, QPointF(right + 1, bottom + 1) / dpr).translated(sprite.origin);
}

} // namespace velloran
