#include "scenes/deck/Dial.h"

#include "paint/SoftShadow.h"

#include <QConicalGradient>
#include <QPainterPath>

#include <algorithm>

namespace velloran {

DialRenderer::Parts DialRenderer::render(double diameter, const Palette &palette, qreal devicePixelRatio)
{
    const double r = diameter / 2;
    QPainterPath disc;
    disc.addEllipse(QPointF(0, 0), r, r);
    Parts parts;
    parts.shadow = softShadow(disc, 2.5, QColor(0, 0, 0, qRound(255 * 0.3)), {1.5, 2}, devicePixelRatio);

    const double reach = r + 1;
    parts.face = {makeCanvas({2 * reach, 2 * reach}, devicePixelRatio), {-reach, -reach}};
    QPainter p(&parts.face.image);
    prepare(p);
    p.translate(reach, reach);
    QConicalGradient turned(QPointF(0, 0), 30);
    for (int i = 0; i <= 6; ++i)
        turned.setColorAt(i / 6.0, i % 2 == 0 ? QColor(242, 241, 237) : QColor(181, 179, 173));
    p.setPen(QPen(QColor(0, 0, 0, 50), 0.6));
    p.setBrush(turned);
    p.drawEllipse(QPointF(0, 0), r, r);
    // Pointer: a short ink line ending 9 points from the centre.
    p.setPen(QPen(palette.buttonInk, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, -9), QPointF(0, -std::max(r - 2.5, 10.0)));
    return parts;
}

void DialRenderer::paint(QPainter &painter, double diameter, double angle, qreal devicePixelRatio,
                         const Palette &palette)
{
    const Parts &parts = m_cache.get(Key{diameter, palette}, devicePixelRatio,
                                     [&] { return render(diameter, palette, devicePixelRatio); });
    parts.shadow.draw(painter);
    painter.save();
    painter.rotate(angle);
    parts.face.draw(painter);
    painter.restore();
}

} // namespace velloran
