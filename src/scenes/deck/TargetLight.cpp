#include "scenes/deck/TargetLight.h"

#include "paint/SoftShadow.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace velloran {

Sprite TargetLightRenderer::render(bool on, qreal devicePixelRatio)
{
    const QRectF frame(QPointF(0, 0), size);
    QPainterPath bezelShape;
    bezelShape.addEllipse(frame);
    const Sprite shadow = softShadow(bezelShape, 2.5, QColor(0, 0, 0, qRound(255 * 0.35)), {3, 2}, devicePixelRatio);

    // The glow reaches past the bezel.
    const QRectF bounds = QRectF(shadow.origin, shadow.logicalSize()).united(frame.adjusted(-10, -10, 10, 10));
    Sprite sprite{makeCanvas(bounds.size(), devicePixelRatio), bounds.topLeft()};
    QPainter p(&sprite.image);
    prepare(p);
    p.translate(-bounds.topLeft());
    shadow.draw(p);

    QRadialGradient bezel(QPointF(0.4 * size.width(), 0.35 * size.height()), 18);
    bezel.setColorAt(0.0, QColor(246, 245, 241));
    bezel.setColorAt(1.0, QColor(169, 167, 160));
    p.fillPath(bezelShape, bezel);
    p.strokePath(bezelShape, QPen(QColor(0, 0, 0, 60), 0.6));

    const QRectF lens = frame.adjusted(7, 7, -7, -7);
    if (on) {
        QRadialGradient glow(lens.center(), lens.width() / 2 + 10);
        glow.setColorAt(0.0, QColor(255, 236, 200, qRound(255 * 0.9)));
        glow.setColorAt(0.45, QColor(255, 236, 200, qRound(255 * 0.45)));
        glow.setColorAt(1.0, QColor(255, 236, 200, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(lens.center(), lens.width() / 2 + 10, lens.height() / 2 + 10);
    }
    p.setPen(QPen(QColor(0, 0, 0, 90), 0.8));
    p.setBrush(on ? lensOn : lensOff);
    p.drawEllipse(lens);
    // A glint on the glass.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, on ? 200 : 70));
    p.drawEllipse(QPointF(lens.left() + 4, lens.top() + 3.8), 1.6, 1.2);
    return sprite;
}

void TargetLightRenderer::paint(QPainter &painter, double amount, qreal devicePixelRatio)
{
    const Faces &faces = m_cache.get(NoKey{}, devicePixelRatio, [&] {
        return Faces{render(false, devicePixelRatio), render(true, devicePixelRatio)};
    });
    const double a = std::clamp(amount, 0.0, 1.0);
    const double opacity = painter.opacity();
    if (a < 1.0)
        faces.off.draw(painter);
    if (a > 0.0) {
        painter.setOpacity(opacity * a);
        faces.on.draw(painter);
        painter.setOpacity(opacity);
    }
}

void TargetGlowRenderer::paint(QPainter &painter, QPointF centre, double opacity, qreal devicePixelRatio)
{
    if (opacity <= 0.0)
        return;
    const QImage &glow = m_cache.get(NoKey{}, devicePixelRatio, [&] {
        QImage image = makeCanvas(size, devicePixelRatio);
        QPainter p(&image);
        prepare(p);
        const QPointF c(size.width() / 2, size.height() / 2);
        QRadialGradient light(c, 120);
        light.setColorAt(0.0, QColor(255, 240, 210, qRound(255 * 0.35)));
        light.setColorAt(1.0, QColor(255, 240, 210, 0));
        // A pool flattened to the frame's height, so the light fades out before the frame
        // cuts it off at the top and bottom.
        QBrush pool(light);
        pool.setTransform(QTransform::fromTranslate(0, c.y()).scale(1.0, size.height() / 2 / 120.0).translate(0, -c.y()));
        p.fillRect(QRectF(QPointF(0, 0), size), pool);
        return image;
    });
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.drawImage(centre - QPointF(size.width() / 2, size.height() / 2), glow);
    painter.restore();
}

} // namespace velloran
