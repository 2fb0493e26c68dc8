#include "scenes/deck/Cables.h"

#include "paint/SoftShadow.h"

#include <QPainter>

namespace velloran {

QPainterPath Cable::path() const
{
    QPainterPath p(start);
    p.cubicTo(c1, c2, mid);
    p.cubicTo(c3, c4, end);
    return p;
}

const QList<Cable> &deckCables()
{
    static const QList<Cable> cables{
        {{1015, 300}, {1010, 200}, {1080, 170}, {1120, 110}, {1160, 50}, {1170, -80}, {1240, -700},
         QColor(14, 14, 16), 13, true},
        {{712, 300}, {712, 210}, {650, 170}, {640, 100}, {630, 30}, {600, -60}, {560, -700},
         QColor(21, 21, 23), 9, true},
        {{726, 300}, {726, 205}, {668, 168}, {656, 100}, {644, 32}, {618, -60}, {578, -700},
         QColor(21, 21, 23), 9, true},
        {{742, 300}, {744, 220}, {700, 200}, {690, 150}, {680, 100}, {700, 40}, {660, -700},
         QColor(42, 107, 58), 3, false},
    };
    return cables;
}

namespace {

void drawPlug(QPainter &p, const QRectF &rect, double radius, const QColor &color)
{
    QPainterPath body;
    body.addRoundedRect(rect, radius, radius);
    p.fillPath(body, color);
    QLinearGradient shade(rect.topLeft(), rect.topRight());
    shade.setColorAt(0.0, QColor(255, 255, 255, 50));
    shade.setColorAt(0.4, QColor(255, 255, 255, 0));
    shade.setColorAt(1.0, QColor(0, 0, 0, 70));
    p.fillPath(body, shade);
    p.strokePath(body, QPen(QColor(0, 0, 0, 90), 0.6));
}

void drawCollar(QPainter &p, const QRectF &rect, const QColor &color)
{
    QPainterPath collar;
    collar.addRoundedRect(rect, 2, 2);
    p.fillPath(collar, color);
    p.strokePath(collar, QPen(QColor(0, 0, 0, 70), 0.5));
}

} // namespace

Sprite CablesRenderer::render(const QList<Cable> &cables, qreal dpr)
{
    QRectF bounds;
    QPainterPath outlines;
    outlines.setFillRule(Qt::WindingFill);
    for (const Cable &cable : cables) {
        QPainterPathStroker stroker;
        stroker.setWidth(cable.width);
        stroker.setCapStyle(Qt::RoundCap);
        outlines.addPath(stroker.createStroke(cable.path()));
    }
    // Connectors at the deck's rear edge.
    outlines.addRect(QRectF(1003, 232, 24, 26));
    outlines.addRect(QRectF(700, 236, 34, 22));
    // A cable lying on the table throws a tight shadow.
    const Sprite shadow = softShadow(outlines, 3, QColor(20, 10, 4, 120), {2, 3}, dpr);
    bounds = outlines.boundingRect().united(QRectF(shadow.origin, shadow.logicalSize())).adjusted(-4, -4, 4, 4);

    Sprite sprite{makeCanvas(bounds.size(), dpr), bounds.topLeft()};
    QPainter p(&sprite.image);
    prepare(p);
    p.translate(-bounds.topLeft());
    shadow.draw(p);
    for (const Cable &cable : cables) {
        const QPainterPath path = cable.path();
        p.strokePath(path, QPen(cable.color, cable.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        if (cable.sheen)
            p.strokePath(path.translated(-2.5, -0.5),
                         QPen(QColor(255, 255, 255, 34), std::max(1.0, cable.width * 0.16), Qt::SolidLine,
                              Qt::RoundCap, Qt::RoundJoin));
    }

    drawPlug(p, QRectF(1003, 232, 24, 26), 5, QColor(26, 26, 28));
    for (const double x : {700.0, 716.0})
        drawPlug(p, QRectF(x, 236, 18, 22), 4, QColor(201, 198, 191));
    drawCollar(p, QRectF(702, 236 + 22 - 8 - 2, 14, 8), QColor(192, 57, 43));
    drawCollar(p, QRectF(718, 236 + 22 - 8 - 2, 14, 8), QColor(242, 240, 234));
    return sprite;
}

const Sprite &CablesRenderer::sprite(const QList<Cable> &cables, qreal devicePixelRatio)
{
    return m_cache.get(cables, devicePixelRatio, [&] { return render(cables, devicePixelRatio); });
}

} // namespace velloran
