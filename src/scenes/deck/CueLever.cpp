#include "scenes/deck/CueLever.h"

#include "paint/SoftShadow.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>

namespace velloran {

double CueLeverRenderer::handleTop(double raised)
{
    return 56.0 - 38.0 * std::clamp(raised, 0.0, 1.0);
}

CueLeverRenderer::Parts CueLeverRenderer::render(qreal devicePixelRatio)
{
    QPainterPath housingShape;
    housingShape.addRoundedRect(QRectF(QPointF(0, 0), size), 10, 10);
    const Sprite shadow = softShadow(housingShape, 3.0, QColor(0, 0, 0, qRound(255 * 0.35)), {1.5, 2.5},
                                     devicePixelRatio);

    const QRectF bounds = QRectF(shadow.origin, shadow.logicalSize()).united(QRectF(QPointF(0, 0), size));
    Parts parts{{makeCanvas(bounds.size(), devicePixelRatio), bounds.topLeft()}, {}};
    {
        QPainter p(&parts.housing.image);
        prepare(p);
        p.translate(-bounds.topLeft());
        shadow.draw(p);
        QLinearGradient fill(0, 0, 0, size.height());
        fill.setColorAt(0.0, QColor(240, 238, 233));
        fill.setColorAt(1.0, QColor(180, 178, 171));
        p.fillPath(housingShape, fill);
        p.strokePath(housingShape, QPen(QColor(255, 255, 255, 150), 0.8));
        QPainterPath slot;
        slot.addRoundedRect(QRectF(15, 13, 6, 62), 3, 3);
        p.fillPath(slot, QColor(24, 23, 22));
        p.strokePath(slot.translated(0, 0.8), QPen(QColor(255, 255, 255, 90), 0.6));
    }

    QPainterPath handleShape;
    handleShape.addRoundedRect(QRectF(QPointF(0, 0), handleSize), 3, 3);
    const Sprite handleShadow = softShadow(handleShape, 2.0, QColor(0, 0, 0, 110), {0, 1.5}, devicePixelRatio);
    const QRectF handleBounds =
        QRectF(handleShadow.origin, handleShadow.logicalSize()).united(QRectF(QPointF(0, 0), handleSize));
    parts.handle = {makeCanvas(handleBounds.size(), devicePixelRatio), handleBounds.topLeft()};
    {
        QPainter p(&parts.handle.image);
        prepare(p);
        p.translate(-handleBounds.topLeft());
        handleShadow.draw(p);
        QLinearGradient fill(0, 0, 0, handleSize.height());
        fill.setColorAt(0.0, QColor(61, 56, 51));
        fill.setColorAt(1.0, QColor(29, 26, 23));
        p.fillPath(handleShape, fill);
        p.fillRect(QRectF(3, 1, handleSize.width() - 6, 0.8), QColor(255, 255, 255, 45));
        for (int i = 0; i < 3; ++i)
            p.fillRect(QRectF(7, 5.5 + 2.5 * i, handleSize.width() - 14, 0.8), QColor(0, 0, 0, 90));
    }
    return parts;
}

void CueLeverRenderer::paint(QPainter &painter, double raised, qreal devicePixelRatio)
{
    const Parts &parts = m_cache.get(NoKey{}, devicePixelRatio, [&] { return render(devicePixelRatio); });
    parts.housing.draw(painter);
    parts.handle.draw(painter, QPointF((size.width() - handleSize.width()) / 2, handleTop(raised)));
}

} // namespace velloran
