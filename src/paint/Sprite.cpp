#include "paint/Sprite.h"

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
