#include "scenes/deck/Mug.h"

#include "paint/SoftShadow.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace velloran {

Sprite MugRenderer::render(const Palette &palette, qreal dpr)
{
    const double r = frame.width() / 2;
    QPainterPath cup;
    cup.addEllipse(QPointF(0, 0), r, r);

    // The handle: an open loop beside the cup, its inner end hidden under the cup.
    const QRectF loop(71 - 23, -31, 46, 62);
    QPainterPath handle;
    handle.addRoundedRect(loop, 18, 18);
    QPainterPathStroker stroker;
    stroker.setWidth(9);
    stroker.setCapStyle(Qt::RoundCap);
    const QPainterPath handleBody = stroker.createStroke(handle);

    const Sprite contact = softShadow(cup, 12, withAlpha(palette.tableShadow, 0.26), {2, 3}, dpr);
    const Sprite handleShadow = softShadow(handleBody, 4, QColor(0, 0, 0, qRound(255 * 0.22)), {8, 10}, dpr);
    const Sprite cupShadow = softShadow(cup, 6, QColor(0, 0, 0, qRound(255 * 0.35)), {5, 7}, dpr);

    QRectF bounds = cup.boundingRect().united(handleBody.boundingRect());
    for (const Sprite *s : {&contact, &handleShadow, &cupShadow})
        bounds = bounds.united(QRectF(s->origin, s->logicalSize()));
    Sprite sprite{makeCanvas(bounds.size(), dpr), bounds.topLeft()};
    QPainter p(&sprite.image);
    prepare(p);
    p.translate(-bounds.topLeft());

    contact.draw(p);
    handleShadow.draw(p);
    // The glaze catches the lamp on the handle's near side.
    QLinearGradient glaze(loop.topLeft(), loop.bottomRight());
    glaze.setColorAt(0.0, QColor(255, 255, 255, 60));
    glaze.setColorAt(0.5, QColor(255, 255, 255, 0));
    glaze.setColorAt(1.0, QColor(0, 0, 0, 40));
    p.fillPath(handleBody, QColor(231, 229, 224));
    p.fillPath(handleBody, QBrush(glaze));
    cupShadow.draw(p);

    QLinearGradient body(-r, -r, r, r);
    body.setColorAt(0.0, QColor(222, 220, 214));
    body.setColorAt(1.0, QColor(168, 165, 158));
    p.fillPath(cup, body);

    // The rim, a band of glaze around the coffee.
    const double rimRadius = r - 6;
    QRadialGradient rim(QPointF(-r + 0.42 * frame.width(), -r + 0.38 * frame.height()), 70);
    rim.setColorAt(0.0, QColor(236, 235, 231));
    rim.setColorAt(1.0, QColor(207, 205, 199));
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(QPointF(0, 0), rimRadius, rimRadius);

    const double coffeeRadius = rimRadius - 7;
    QRadialGradient coffee(QPointF(-coffeeRadius + 0.9 * coffeeRadius, -coffeeRadius + 0.8 * coffeeRadius),
                           coffeeRadius * 1.1);
    coffee.setColorAt(0.0, QColor(107, 74, 51));
    coffee.setColorAt(1.0, QColor(58, 38, 24));
    p.setBrush(coffee);
    p.drawEllipse(QPointF(0, 0), coffeeRadius, coffeeRadius);
    // The inner wall's shade where the rim meets the coffee, and a glint of the lamp.
    p.setPen(QPen(QColor(40, 24, 14, 110), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), coffeeRadius + 0.8, coffeeRadius + 0.8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 240, 220, 34));
    p.drawEllipse(QPointF(-coffeeRadius * 0.35, -coffeeRadius * 0.4), coffeeRadius * 0.28, coffeeRadius * 0.14);
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-r + 1.5, -r + 1.5, 2 * r - 3, 2 * r - 3), 100 * 16, 80 * 16);
    return sprite;
}

const Sprite &MugRenderer::sprite(qreal devicePixelRatio, const Palette &palette)
{
    return m_cache.get(palette, devicePixelRatio, [&] { return render(palette, devicePixelRatio); });
}

} // namespace velloran
