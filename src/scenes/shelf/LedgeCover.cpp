#include "scenes/shelf/LedgeCover.h"

#include "scenes/shelf/ShelfLists.h"

#include <QLinearGradient>

#include <cmath>

namespace velloran::shelf {

namespace {

bool sameTransform(const QTransform &a, const QTransform &b)
{
    const double ea[] = {a.m11(), a.m12(), a.m13(), a.m21(), a.m22(), a.m23(), a.m31(), a.m32(), a.m33()};
    const double eb[] = {b.m11(), b.m12(), b.m13(), b.m21(), b.m22(), b.m23(), b.m31(), b.m32(), b.m33()};
    for (int i = 0; i < 9; ++i)
        if (std::abs(ea[i] - eb[i]) > 1e-7)
            return false;
    return true;
}

// The shadow and the cover, in cover points.
QRectF drawnRect(const Sprite &shadow)
{
    return QRectF(shadow.origin, shadow.logicalSize()).united(QRectF(0, 0, WallLayout::coverSide, WallLayout::coverSide));
}

} // namespace

QRectF LedgeCover::bounds(const Sprite &shadow, const QTransform &transform)
{
    return transform.mapRect(drawnRect(shadow));
}

void LedgeCover::paintDirect(QPainter &painter, const QImage &cover, const Sprite &shadow)
{
    painter.setRenderHints(QPainter::SmoothPixmapTransform | QPainter::Antialiasing);
    shadow.draw(painter);
    const QRectF face(0, 0, WallLayout::coverSide, WallLayout::coverSide);
    painter.drawImage(face, cover);
    // The sleeve's board catches the light from the upper left.
    QLinearGradient sheen(face.topLeft(), face.bottomRight());
    sheen.setColorAt(0, QColor(255, 255, 255, 28));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    sheen.setColorAt(1, QColor(0, 0, 0, 30));
    painter.fillRect(face, sheen);
}

void LedgeCover::paint(QPainter &painter, const QImage &cover, const Sprite &shadow, const QTransform &transform,
                       bool still)
{
    painter.save();
    if (!still) {
        painter.setTransform(transform, true);
        paintDirect(painter, cover, shadow);
        painter.restore();
        return;
    }
    // Cover points to device pixels; the still drawing is made on the same pixel grid, so
    // copying it gives the pixels drawing through the transform would.
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const QTransform device = transform * painter.worldTransform() * QTransform::fromScale(dpr, dpr);
    const QRectF extent = device.mapRect(drawnRect(shadow));
    const QPoint at(int(std::floor(extent.left())) - 1, int(std::floor(extent.top())) - 1);
    const QSize size(int(std::ceil(extent.right())) + 1 - at.x(), int(std::ceil(extent.bottom())) + 1 - at.y());
    const QTransform subpixel = device * QTransform::fromTranslate(-at.x(), -at.y());
    if (m_projected.isNull() || m_projected.size() != size || m_coverKey != cover.cacheKey()
        || m_shadowKey != shadow.image.cacheKey() || !sameTransform(subpixel, m_subpixel)) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setTransform(subpixel);
        paintDirect(p, cover, shadow);
        p.end();
        image.setDevicePixelRatio(dpr);
        m_projected = image;
        m_coverKey = cover.cacheKey();
        m_shadowKey = shadow.image.cacheKey();
        m_subpixel = subpixel;
        ++m_projections;
    }
    // Whole device pixels, no transform: a plain copy with blending.
    painter.setWorldTransform(QTransform());
    painter.drawImage(QPointF(at) / dpr, m_projected);
    painter.restore();
}

} // namespace velloran::shelf
