#include "scenes/turntable/Plinth.h"

#include "paint/SoftShadow.h"
#include "scenes/turntable/DeckGeometry.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdint>

namespace velloran {
namespace {

// A small deterministic generator, so the grain is the same on every drawing.
class Grain {
public:
    double next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return double(m_state % 100'000) / 100'000.0;
    }

private:
    std::uint64_t m_state = 0x2545F4914F6CDD1DULL;
};

void drawWood(QPainter &p, const QRectF &rect, const QColor &base)
{
    p.fillRect(rect, base);
    Grain grain;
    // Long, slightly wavy streaks along the plinth's length.
    for (double y = rect.top(); y < rect.bottom(); y += 1.6) {
        const double v = grain.next();
        const double phase = grain.next() * 6.283;
        const double amplitude = 0.6 + 1.8 * grain.next();
        QPainterPath streak;
        streak.moveTo(rect.left(), y);
        for (double x = rect.left(); x <= rect.right() + 40; x += 40)
            streak.lineTo(x, y + amplitude * std::sin(phase + x / 90.0));
        const bool light = v > 0.55;
        const int alpha = light ? int(6 + 14 * (v - 0.55) / 0.45) : int(10 + 30 * v);
        p.strokePath(streak, QPen(light ? QColor(150, 98, 62, alpha) : QColor(0, 0, 0, alpha), 0.5 + 1.1 * grain.next()));
    }
}

} // namespace

Sprite PlinthRenderer::render(const Palette &palette, qreal devicePixelRatio)
{
    const QSizeF size = deck::plinthRect.size();
    const QRectF rect(QPointF(0, 0), size);
    QPainterPath shape;
    shape.addRoundedRect(rect, deck::plinthCornerRadius, deck::plinthCornerRadius);

    QImage surface = makeCanvas(size, devicePixelRatio);
    {
        QPainter p(&surface);
        prepare(p);
        p.setClipPath(shape);
        drawWood(p, rect, palette.darkBrown.lighter(135));
        // Light from the top-left: the top and left edges catch it, the far ones fall away.
        QLinearGradient light(0, 0, size.width(), size.height());
        light.setColorAt(0.0, QColor(255, 220, 180, 26));
        light.setColorAt(0.5, QColor(0, 0, 0, 0));
        light.setColorAt(1.0, QColor(0, 0, 0, 70));
        p.fillRect(rect, light);
        p.setClipping(false);
        QPainterPath bevel;
        bevel.addRoundedRect(rect.adjusted(1, 1, -1, -1), deck::plinthCornerRadius - 1, deck::plinthCornerRadius - 1);
        QLinearGradient edge(0, 0, 0, size.height());
        edge.setColorAt(0.0, QColor(255, 214, 170, 70));
        edge.setColorAt(0.5, QColor(255, 214, 170, 16));
        edge.setColorAt(1.0, QColor(0, 0, 0, 120));
        p.strokePath(bevel, QPen(QBrush(edge), 2));
        p.strokePath(shape, QPen(QColor(0, 0, 0, 160), 1));
    }

    const Sprite close = softShadow(surface, 4.0, QColor(0, 0, 0, qRound(255 * 0.4)), {2, 3});
    const Sprite middle = softShadow(surface, 30.0, QColor(0, 0, 0, qRound(255 * 0.34)), {24, 30});
    const Sprite far = softShadow(surface, 70.0, QColor(0, 0, 0, qRound(255 * 0.2)), {50, 70});

    QRectF bounds = rect;
    for (const Sprite *s : {&close, &middle, &far})
        bounds = bounds.united(QRectF(s->origin, s->logicalSize()));
    Sprite sprite{makeCanvas(bounds.size(), devicePixelRatio), bounds.topLeft()};
    QPainter p(&sprite.image);
    prepare(p);
    p.translate(-bounds.topLeft());
    far.draw(p);
    middle.draw(p);
    close.draw(p);
    p.drawImage(QPointF(0, 0), surface);
    return sprite;
}

const Sprite &PlinthRenderer::sprite(qreal devicePixelRatio, const Palette &palette)
{
    return m_cache.get(palette, devicePixelRatio, [&] { return render(palette, devicePixelRatio); });
}

} // namespace velloran
