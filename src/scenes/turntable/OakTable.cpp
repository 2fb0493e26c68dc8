#include "scenes/turntable/OakTable.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdint>

#include "core/XorShift.h"
#include "paint/PiecewiseStroke.h"

namespace velloran {
namespace {

constexpr double plankHeight = 168.0;
constexpr double knotSpan = 1600.0;

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

    // Long grain lines drifting gently along the plank, a few darker rings of latewood, each
    // drawn a grid step at a time. Their points lie on a fixed grid, so the grain is the same
    // however much of the plank is drawn.
    const double stepX = 60;
    const double start = std::floor(left / stepX) * stepX;
    for (double y = top + 2; y < top + plankHeight - 1; y += 1.6) {
        const double v = g.next();
        const double phase = g.next() * 6.283;
        const double wave = 1.0 + 5.0 * g.next();
        const double period = 240.0 + 260 * g.next();
        const auto at = [&](double x) { return QPointF(x, y + wave * std::sin(phase + x / period)); };
        QColor c;
        if (v > 0.8)
            c = QColor(214, 168, 116, int(14 + 40 * (v - 0.8)));
        else if (v < 0.18)
            c = QColor(62, 34, 16, int(40 + 120 * (0.18 - v)));
        else
            c = QColor(78, 46, 22, int(10 + 18 * v));
        strokeInPieces(p, QPen(c, 0.5 + 1.5 * g.next()), start, right, stepX, at);
    }
    // A knot or two, where the grain swirls, somewhere across the stage's width.
    const int knots = g.next() > 0.55 ? 1 : 0;
    for (int k = 0; k < knots; ++k) {
        const QPointF at(knotSpan * g.next(), top + plankHeight * (0.3 + 0.4 * g.next()));
        for (int ring = 6; ring >= 1; --ring) {
            p.setPen(QPen(QColor(70, 38, 18, 26 + 8 * ring), 0.9));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(at, 7.0 * ring, 2.2 * ring);
        }
    }
    // The seam to the next plank: a dark joint with a lit lip above it.
    const double span = right - left;
    p.fillRect(QRectF(left, top + plankHeight - 1.8, span, 1.8), QColor(38, 20, 9, 170));
    p.fillRect(QRectF(left, top, span, 0.9), QColor(232, 184, 130, 46));
}

// The planks in the lamp's light over `area` (stage points), into an image of `pixels`,
// `density` pixels to a point.
QImage renderWood(const QRectF &area, QSize pixels, qreal density)
{
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(QColor(60, 38, 22));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Scaled by hand: a painter takes an image's pixel ratio only from 1 up, and a small window
    // shows the table at less than a pixel to a point.
    p.scale(density, density);
    p.translate(-area.topLeft());
    const int first = int(std::floor((area.top() + 40) / plankHeight));
    const int last = int(std::floor((area.bottom() + 40) / plankHeight));
    for (int plank = first; plank <= last; ++plank)
        paintPlank(p, plank, area.left(), area.right());

    // The lamp's warm pool over the deck and the pile, from the upper left.
    QRadialGradient lamp(QPointF(640, 420), 1100);
    lamp.setColorAt(0.0, QColor(255, 200, 140, 70));
    lamp.setColorAt(0.4, QColor(255, 170, 100, 26));
    lamp.setColorAt(1.0, QColor(255, 150, 80, 0));
    p.setCompositionMode(QPainter::CompositionMode_Screen);
    p.fillRect(area, lamp);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QRadialGradient dusk(QPointF(800, 480), 1150);
    dusk.setColorAt(0.0, QColor(24, 12, 30, 0));
    dusk.setColorAt(0.5, QColor(24, 12, 30, 30));
    dusk.setColorAt(1.0, QColor(14, 7, 20, 150));
    p.fillRect(area, dusk);
    return image;
}

// The stage area a window shows, and a little more.
QRectF shownStageArea(QSize windowSize, const QTransform &toWindow)
{
    return toWindow.inverted().mapRect(QRectF(QPointF(0, 0), QSizeF(windowSize))).adjusted(-10, -10, 10, 10);
}

qreal woodDensity(const QTransform &toWindow, qreal dpr)
{
    return dpr * std::hypot(toWindow.m11(), toWindow.m12());
}

// `placed` enlarged about the window's centre just enough to cover the whole window.
QRectF coverWindow(const QRectF &placed, const QRectF &window)
{
    if (placed.contains(window))
        return placed;
    const QPointF c = window.center();
    double k = 1;
    const auto need = [&](double from, double to, double edge) {
        // Moved away from the centre `from`, the placed edge `to` must reach the window's `edge`.
        if ((to - from) * (edge - from) <= 0)
            return false;
        k = std::max(k, (edge - from) / (to - from));
        return true;
    };
    if (!need(c.x(), placed.left(), window.left()) || !need(c.x(), placed.right(), window.right())
        || !need(c.y(), placed.top(), window.top()) || !need(c.y(), placed.bottom(), window.bottom()))
        return placed.united(window);
    return QRectF(c + (placed.topLeft() - c) * k, c + (placed.bottomRight() - c) * k);
}

} // namespace

QImage OakTable::render(QSize windowSize, const QTransform &toWindow, qreal dpr)
{
    OakTable table;
    return table.image(windowSize, toWindow, dpr);
}

bool OakTable::holdsWoodFor(QSize windowSize, const QTransform &toWindow, qreal dpr) const
{
    if (m_wood.isNull())
        return false;
    const qreal stretch = woodDensity(toWindow, dpr) / m_woodDensity;
    return stretch >= 0.75 && stretch <= 1.1 && m_woodArea.contains(shownStageArea(windowSize, toWindow));
}

const QImage &OakTable::image(QSize windowSize, const QTransform &toWindow, qreal dpr, bool drawWood)
{
    if (!m_image.isNull() && m_size == windowSize && m_transform == toWindow && m_dpr == dpr
        && (!m_makeshift || !drawWood))
        return m_image;

    // The wood is drawn for the window it first shows in, over a margin around it, and placed
    // again while the window is resized (scaled a little if the stage's scale has moved), so a
    // resize does not draw some seven hundred grain lines anew at each step. It is drawn again
    // once the window shows more than it holds or the scale has moved too far.
    const QRectF window(QPointF(0, 0), QSizeF(windowSize));
    const bool suits = holdsWoodFor(windowSize, toWindow, dpr);
    if (!suits && (drawWood || m_wood.isNull())) {
        const QRectF shown = shownStageArea(windowSize, toWindow);
        // Whole device pixels of this window, so that the wood lands on its pixels exactly.
        const QRectF pixels = QRectF(toWindow.mapRect(shown).topLeft() * dpr, toWindow.mapRect(shown).size() * dpr);
        const double margin = std::ceil(0.1 * std::max(pixels.width(), pixels.height()));
        const QRect area = pixels.adjusted(-margin, -margin, margin, margin).toAlignedRect();
        const QTransform toPixels = toWindow * QTransform::fromScale(dpr, dpr);
        m_woodArea = toPixels.inverted().mapRect(QRectF(area));
        m_woodPixels = area.topLeft();
        m_woodDensity = woodDensity(toWindow, dpr);
        m_woodFit = toWindow;
        m_woodRatio = dpr;
        m_wood = renderWood(m_woodArea, area.size(), m_woodDensity);
        m_wood.setDevicePixelRatio(dpr);
        ++m_woodRenders;
        m_makeshift = false;
    } else {
        m_makeshift = !suits;
    }

    // Opaque, so the back layer made from it is copied to the screen rather than blended.
    QImage image(windowSize * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    QPainter p(&image);
    if (toWindow == m_woodFit && dpr == m_woodRatio) {
        // Pixel for pixel.
        p.drawImage(QPointF(m_woodPixels) / dpr, m_wood);
    } else {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(coverWindow(toWindow.mapRect(m_woodArea), window), m_wood);
    }

    // Dusk gathers at the window's own edges, whatever part of the table they cut.
    const double reach = std::max(window.width(), window.height()) * 0.75;
    QRadialGradient edges(window.center(), reach);
    edges.setColorAt(0.0, QColor(10, 5, 14, 0));
    edges.setColorAt(0.7, QColor(10, 5, 14, 40));
    edges.setColorAt(1.0, QColor(8, 4, 12, 150));
    p.fillRect(window, edges);
    p.end();

    m_image = image;
    m_size = windowSize;
    m_transform = toWindow;
    m_dpr = dpr;
    ++m_renders;
    return m_image;
}

} // namespace velloran
