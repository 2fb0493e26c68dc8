#include "scenes/deck/Plinth.h"

#include "paint/SoftShadow.h"
#include "scenes/deck/DeckGeometry.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/XorShift.h"

namespace velloran {
namespace {

// The grain is the same on every drawing.
struct Grain {
    XorShift source{0x2545F4914F6CDD1DULL};
    double next() { return source.fraction(100'000); }
};

// Long, gently wavy streaks along the plinth's length, written pixel by pixel: the tone of
// a streak is looked up across a warped row, so the figure flows like cut walnut.
void drawWood(QImage &image, const QColor &base)
{
    const qreal dpr = image.devicePixelRatio();
    const int w = image.width();
    const int h = image.height();

    // Streak tones across the grain, a fine one every 0.8 point over broad, slow bands.
    constexpr double streakPitch = 0.8;
    const int streaks = int(h / dpr / streakPitch) + 64;
    std::vector<double> tone(static_cast<size_t>(streaks));
    Grain grain;
    double band = 0.5;
    for (double &t : tone) {
        band += (grain.next() - 0.5) * 0.18;
        band = std::clamp(band, 0.2, 0.8);
        const double fine = grain.next();
        t = 0.55 * band + 0.45 * fine * fine;
    }

    // The warp separates into sines of x and of y, so it is tabled once per column and row.
    const auto columns = static_cast<size_t>(w);
    std::vector<double> sx1(columns), cx1(columns), sx2(columns), cx2(columns);
    for (int x = 0; x < w; ++x) {
        const double px = x / dpr;
        sx1[size_t(x)] = std::sin(px / 140.0);
        cx1[size_t(x)] = std::cos(px / 140.0);
        sx2[size_t(x)] = std::sin(px / 61.0);
        cx2[size_t(x)] = std::cos(px / 61.0);
    }

    const double r0 = base.redF() * 255, g0 = base.greenF() * 255, b0 = base.blueF() * 255;
    for (int y = 0; y < h; ++y) {
        const double py = y / dpr;
        const double sy1 = std::sin(py / 53.0), cy1 = std::cos(py / 53.0);
        const double sy2 = std::sin(py / 97.0), cy2 = std::cos(py / 97.0);
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            // 3 sin(x/140 + y/53) + 1.5 sin(x/61 - y/97)
            const double warp = 3.0 * (sx1[size_t(x)] * cy1 + cx1[size_t(x)] * sy1)
                              + 1.5 * (sx2[size_t(x)] * cy2 - cx2[size_t(x)] * sy2);
            const double at = std::max(0.0, (py + warp + 8.0) / streakPitch);
            const size_t i = std::min(size_t(at), tone.size() - 2);
            const double f = at - double(i);
            const double t = tone[i] * (1.0 - f) + tone[i + 1] * f;
            const double k = 0.72 + 0.62 * t;
            line[x] = qRgb(std::min(255, int(r0 * k)), std::min(255, int(g0 * k)), std::min(255, int(b0 * k)));
        }
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
        QImage wood(surface.size(), QImage::Format_RGB32);
        wood.setDevicePixelRatio(devicePixelRatio);
        drawWood(wood, palette.darkBrown.lighter(135));
        p.setClipPath(shape);
        p.drawImage(QPointF(0, 0), wood);
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
