#include "scenes/turntable/Mat.h"

#include "paint/Fonts.h"
#include "paint/Palette.h"
#include "paint/Sprite.h"

#include <QPainter>
#include <QRadialGradient>

namespace velloran {

QImage MatRenderer::render(qreal devicePixelRatio)
{
    QImage image = makeCanvas({diameter, diameter}, devicePixelRatio);
    QPainter p(&image);
    prepare(p);
    const double r = diameter / 2;
    const QPointF c(r, r);
    const double matRadius = r - 8;

    QRadialGradient rubber(c, matRadius);
    rubber.setColorAt(0.0, grey(30));
    rubber.setColorAt(0.85, grey(24));
    rubber.setColorAt(1.0, grey(19));
    p.setPen(Qt::NoPen);
    p.setBrush(rubber);
    p.drawEllipse(c, matRadius, matRadius);

    // Moulded ribs, fine and even, fading toward the edge.
    for (double ring = 24; ring < matRadius - 2; ring += 3.0) {
        p.setPen(QPen(QColor(0, 0, 0, 46), 0.9));
        p.drawEllipse(c, ring, ring);
        p.setPen(QPen(QColor(255, 255, 255, 9), 0.6));
        p.drawEllipse(c, ring + 1.1, ring + 1.1);
    }
    p.setPen(QPen(QColor(0, 0, 0, 120), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, matRadius - 0.75, matRadius - 0.75);

    QFont font = fonts::font(fonts::sans(), 13, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 5.2);
    p.setFont(font);
    p.setPen(QColor(60, 60, 64));
    p.drawText(QRectF(c.x() - 120, c.y() + nameOffset - 10, 240, 20), Qt::AlignCenter, QStringLiteral("VELLORAN"));

    QRadialGradient spindle(c, 6);
    spindle.setColorAt(0.0, Qt::white);
    spindle.setColorAt(0.5, grey(155));
    spindle.setColorAt(1.0, grey(85));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(c + QPointF(1, 1.5), 6, 6);
    p.setBrush(spindle);
    p.drawEllipse(c, 6, 6);
    return image;
}

const QImage &MatRenderer::image(qreal devicePixelRatio)
{
    return m_cache.get(NoKey{}, devicePixelRatio, [&] { return render(devicePixelRatio); });
}

} // namespace velloran
