#include "scenes/deck/Led.h"

#include <QRadialGradient>

#include <algorithm>

namespace velloran {

Sprite LedRenderer::render(double size, bool on, const Palette &palette, qreal devicePixelRatio)
{
    const double r = size / 2;
    const double reach = r + size * 1.2;
    Sprite sprite{makeCanvas({2 * reach, 2 * reach}, devicePixelRatio), {-reach, -reach}};
    QPainter p(&sprite.image);
    prepare(p);
    p.translate(reach, reach);
    if (on) {
        QRadialGradient glow(QPointF(0, 0), reach);
        glow.setColorAt(0.0, withAlpha(palette.lampOrange, 0.75));
        glow.setColorAt(r / reach, withAlpha(palette.lampOrange, 0.45));
        glow.setColorAt(1.0, withAlpha(palette.lampOrange, 0.0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(QPointF(0, 0), reach, reach);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(on ? palette.lampOrange : palette.lampOff);
    p.drawEllipse(QPointF(0, 0), r, r);
    p.setPen(QPen(QColor(0, 0, 0, 64), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), r - 0.5, r - 0.5);
    return sprite;
}

void LedRenderer::paint(QPainter &painter, QPointF centre, double size, double amount, qreal devicePixelRatio,
                        const Palette &palette)
{
    const Looks &looks = m_cache.get(Key{size, palette}, devicePixelRatio, [&] {
        return Looks{render(size, false, palette, devicePixelRatio), render(size, true, palette, devicePixelRatio)};
    });
    const double a = std::clamp(amount, 0.0, 1.0);
    const double opacity = painter.opacity();
    if (a < 1.0)
        looks.off.draw(painter, centre);
    if (a > 0.0) {
        painter.setOpacity(opacity * a);
        looks.on.draw(painter, centre);
        painter.setOpacity(opacity);
    }
}

} // namespace velloran
