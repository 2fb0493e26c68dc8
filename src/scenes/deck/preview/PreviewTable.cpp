#include "PreviewTable.h"

#include "paint/Fonts.h"
#include "paint/Sprite.h"
#include "scenes/deck/DeckGeometry.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>

#include "core/XorShift.h"

namespace velloran::preview {
namespace {

struct Noise {
    XorShift source{0x853C49E6748FEA9BULL};
    double next() { return source.fraction(100'000); }
};

} // namespace

QImage oakTable(qreal dpr)
{
    const QSizeF size = deck::stageSize;
    QImage image = makeCanvas(size, dpr);
    QPainter p(&image);
    prepare(p);
    p.fillRect(QRectF(QPointF(0, 0), size), QColor(124, 84, 50));

    // Planks running across the table, each with its own tone and grain.
    Noise noise;
    const double plank = 168.0;
    for (double top = -40; top < size.height(); top += plank) {
        const double tone = noise.next();
        p.fillRect(QRectF(0, top, size.width(), plank), QColor(118 + int(24 * tone), 80 + int(16 * tone), 46 + int(10 * tone)));
        for (double y = top + 1; y < top + plank; y += 1.3) {
            const double v = noise.next();
            const double phase = noise.next() * 6.283;
            const double wave = 1.0 + 4.0 * noise.next();
            QPainterPath streak;
            streak.moveTo(0, y);
            for (double x = 0; x <= size.width() + 50; x += 50)
                streak.lineTo(x, y + wave * std::sin(phase + x / (260.0 + 200 * v)));
            const QColor c = v > 0.62 ? QColor(196, 150, 100, int(10 + 26 * (v - 0.62)))
                                      : QColor(60, 34, 16, int(8 + 34 * v));
            p.strokePath(streak, QPen(c, 0.6 + 1.6 * noise.next()));
        }
        p.fillRect(QRectF(0, top, size.width(), 1.6), QColor(40, 22, 10, 150));
        p.fillRect(QRectF(0, top + 1.6, size.width(), 0.8), QColor(220, 170, 120, 40));
    }

    // The lamp's warm pool, and dusk closing in at the edges.
    QRadialGradient lamp(QPointF(620, 380), 1050);
    lamp.setColorAt(0.0, QColor(255, 196, 130, 60));
    lamp.setColorAt(0.45, QColor(255, 170, 100, 18));
    lamp.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(QPointF(0, 0), size), lamp);
    QRadialGradient dusk(QPointF(760, 470), 1000);
    dusk.setColorAt(0.0, QColor(20, 10, 30, 0));
    dusk.setColorAt(0.55, QColor(20, 10, 30, 40));
    dusk.setColorAt(1.0, QColor(12, 6, 18, 190));
    p.fillRect(QRectF(QPointF(0, 0), size), dusk);
    return image;
}

QImage sampleCover(const QString &title, const QColor &top, const QColor &bottom, int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, pixels);
    fill.setColorAt(0.0, top);
    fill.setColorAt(1.0, bottom);
    p.fillRect(image.rect(), fill);
    const double unit = pixels / 100.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 200, 210));
    p.drawEllipse(QPointF(64 * unit, 38 * unit), 17 * unit, 17 * unit);
    for (int i = 0; i < 5; ++i) {
        p.setBrush(QColor(0, 0, 0, 40 + 20 * i));
        p.drawRect(QRectF(0, (58 + 8 * i) * unit, pixels, 8 * unit));
    }
    p.setPen(QColor(250, 244, 232));
    p.setFont(fonts::font(fonts::serif(), 9 * unit));
    p.drawText(QRectF(7 * unit, 6 * unit, 86 * unit, 20 * unit), Qt::AlignLeft | Qt::AlignTop, title);
    return image;
}

} // namespace velloran::preview
