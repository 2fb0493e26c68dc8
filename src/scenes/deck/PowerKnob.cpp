#include "scenes/deck/PowerKnob.h"

#include "paint/SoftShadow.h"

#include <QConicalGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace velloran {

PowerKnobMotion::PowerKnobMotion(bool power)
    : m_spring(response, dampingFraction, power ? onAngle : 0.0)
{
}

void PowerKnobMotion::setPower(bool power)
{
    m_spring.setTarget(power ? onAngle : 0.0);
}

PowerKnobRenderer::Parts PowerKnobRenderer::render(qreal devicePixelRatio)
{
    const double r = size.width() / 2;
    QPainterPath disc;
    disc.addEllipse(QPointF(0, 0), r, r);
    Parts parts;
    parts.shadow = softShadow(disc, 3.0, QColor(0, 0, 0, qRound(255 * 0.35)), {3, 2}, devicePixelRatio);

    const double reach = r + 3.5;
    parts.face = {makeCanvas({2 * reach, 2 * reach}, devicePixelRatio), {-reach, -reach}};
    QPainter p(&parts.face.image);
    prepare(p);
    p.translate(reach, reach);

    // Turned metal: light and dark sectors alternating around the centre.
    QConicalGradient turned(QPointF(0, 0), 0);
    const QColor light(244, 243, 239);
    const QColor dark(169, 168, 163);
    for (int i = 0; i <= 8; ++i)
        turned.setColorAt(i / 8.0, i % 2 == 0 ? light : dark);
    p.setPen(Qt::NoPen);
    p.setBrush(turned);
    p.drawEllipse(QPointF(0, 0), r, r);

    // A soft dome of light over the turning.
    QRadialGradient dome(QPointF(-r * 0.3, -r * 0.35), r * 1.3);
    dome.setColorAt(0.0, QColor(255, 255, 255, 70));
    dome.setColorAt(1.0, QColor(0, 0, 0, 40));
    p.setBrush(dome);
    p.drawEllipse(QPointF(0, 0), r, r);

    p.setBrush(QColor(43, 43, 46));
    p.drawRoundedRect(QRectF(-2, -12 - 7, 4, 14), 1.5, 1.5);

    p.setPen(QPen(QColor(0, 0, 0, qRound(255 * 0.12)), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), r + 1.5, r + 1.5);
    return parts;
}

void PowerKnobRenderer::paint(QPainter &painter, double angle, qreal devicePixelRatio)
{
    const Parts &parts = m_cache.get(NoKey{}, devicePixelRatio, [&] { return render(devicePixelRatio); });
    parts.shadow.draw(painter);
    painter.save();
    painter.rotate(angle);
    parts.face.draw(painter);
    painter.restore();
}

} // namespace velloran
