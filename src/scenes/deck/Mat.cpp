#include "scenes/deck/Mat.h"

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

    // Moulded ribs, fine and even: one radial gradient with a dark and a light stop per rib
    // fills them all in a single pass.
    QRadialGradient ribs(c, matRadius);
    constexpr double pitch = 3.0;
    ribs.setColorAt(0.0, Qt::transparent);
    for (double ring = 24; ring + pitch < matRadius - 2; ring += pitch) {
        ribs.setColorAt(ring / matRadius, QColor(0, 0, 0, 0));
        ribs.setColorAt((ring + 0.6) / matRadius, QColor(0, 0, 0, 52));
        ribs.setColorAt((ring + 1.2) / matRadius, QColor(0, 0, 0, 0));
        ribs.setColorAt((ring + 1.8) / matRadius, QColor(255, 255, 255, 10));
        ribs.setColorAt((ring + 2.4) / matRadius, QColor(255, 255, 255, 0));
    }
    ribs.setColorAt(1.0, Qt::transparent);
    p.setBrush(ribs);
    p.drawEllipse(c, matRadius, matRadius);
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
