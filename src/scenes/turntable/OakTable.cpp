#include "scenes/turntable/OakTable.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>

#include "core/XorShift.h"

namespace velloran {
namespace {

constexpr double plankHeight = 168.0;

// The same grain for a plank on every drawing, seeded by the plank's number.
class Grain {
public:
    explicit Grain(int plank)
        : m_source(0x9E3779B97F4A7C15ULL ^ (std::uint64_t(plank + 1000) * 0xBF58476D1CE4E5B9ULL))
    {
        for (int i = 0; i < 4; ++i)
            next();
    }
    double next() { return m_source.fraction(1'000'003); }

private:
    XorShift m_source;
};

void paintPlank(QPainter &p, int index, double left, double right)
{
    Grain g(index);
    const double top = index * plankHeight - 40;
    const double tone = g.next();
    const QRectF plank(left, top, right - left, plankHeight);
    QLinearGradient base(0, top, 0, top + plankHeight);
    const QColor mid(132 + int(22 * tone), 88 + int(14 * tone), 52 + int(8 * tone));
    base.setColorAt(0.0, mid.lighter(104));
    base.setColorAt(0.5, mid);
    base.setColorAt(1.0, mid.darker(106));
    p.fillRect(plank, base);

    // Long grain lines drifting gently along the plank, a few darker rings of latewood.
    const double span = right - left;
    const double stepX = 60;
    for (double y = top + 2; y < top + plankHeight - 1; y += 1.6) {
        const double v = g.next();
        const double phase = g.next() * 6.283;
        const double wave = 1.0 + 5.0 * g.next();
        const double period = 240.0 + 260 * g.next();
        QPainterPath streak;
        streak.moveTo(left, y + wave * std::sin(phase + left / period));
        for (double x = left + stepX; x <= right + stepX; x += stepX)
            streak.lineTo(x, y + wave * std::sin(phase + x / period));
        QColor c;
        if (v > 0.8)
            c = QColor(214, 168, 116, int(14 + 40 * (v - 0.8)));
        else if (v < 0.18)
            c = QColor(62, 34, 16, int(40 + 120 * (0.18 - v)));
        else
            c = QColor(78, 46, 22, int(10 + 18 * v));
        p.strokePath(streak, QPen(c, 0.5 + 1.5 * g.next()));
    }
    // A knot or two, where the grain swirls.
    const int knots = g.next() > 0.55 ? 1 : 0;
    for (int k = 0; k < knots; ++k) {
        const QPointF at(left + span * g.next(), top + plankHeight * (0.3 + 0.4 * g.next()));
        for (int ring = 6; ring >= 1; --ring) {
            p.setPen(QPen(QColor(70, 38, 18, 26 + 8 * ring), 0.9));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(at, 7.0 * ring, 2.2 * ring);
        }
    }
    // The seam to the next plank: a dark joint with a lit lip above it.
    p.fillRect(QRectF(left, top + plankHeight - 1.8, span, 1.8), QColor(38, 20, 9, 170));
    p.fillRect(QRectF(left, top, span, 0.9), QColor(232, 184, 130, 46));
}

} // namespace

QImage OakTable::render(QSize windowSize, const QTransform &toWindow, qreal dpr)
{
    QImage image(windowSize * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(QColor(60, 38, 22));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF window(QPointF(0, 0), QSizeF(windowSize));
    const QRectF stage = toWindow.inverted().mapRect(window).adjusted(-10, -10, 10, 10);
    p.save();
    p.setTransform(toWindow, true);
    const int first = int(std::floor((stage.top() + 40) / plankHeight));
    const int last = int(std::floor((stage.bottom() + 40) / plankHeight));
    for (int plank = first; plank <= last; ++plank)
        paintPlank(p, plank, stage.left(), stage.right());

    // The lamp's warm pool over the deck and the pile, from the upper left.
    QRadialGradient lamp(QPointF(640, 420), 1100);
    lamp.setColorAt(0.0, QColor(255, 200, 140, 70));
    lamp.setColorAt(0.4, QColor(255, 170, 100, 26));
    lamp.setColorAt(1.0, QColor(255, 150, 80, 0));
    p.setCompositionMode(QPainter::CompositionMode_Screen);
    p.fillRect(stage, lamp);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QRadialGradient dusk(QPointF(800, 480), 1150);
    dusk.setColorAt(0.0, QColor(24, 12, 30, 0));
    dusk.setColorAt(0.5, QColor(24, 12, 30, 30));
    dusk.setColorAt(1.0, QColor(14, 7, 20, 150));
    p.fillRect(stage, dusk);
    p.restore();

    // Dusk gathers at the window's own edges, whatever part of the table they cut.
    const double reach = std::max(window.width(), window.height()) * 0.75;
    QRadialGradient edges(window.center(), reach);
    edges.setColorAt(0.0, QColor(10, 5, 14, 0));
    edges.setColorAt(0.7, QColor(10, 5, 14, 40));
    edges.setColorAt(1.0, QColor(8, 4, 12, 150));
    p.fillRect(window, edges);
    return image;
}

const QImage &OakTable::image(QSize windowSize, const QTransform &toWindow, qreal dpr)
{
    if (m_image.isNull() || m_size != windowSize || m_transform != toWindow || m_dpr != dpr) {
        m_image = render(windowSize, toWindow, dpr);
        m_size = windowSize;
        m_transform = toWindow;
        m_dpr = dpr;
        ++m_renders;
    }
    return m_image;
}

} // namespace velloran
