#include "scenes/shelf/Spines.h"

#include "paint/Fonts.h"
#include "paint/SoftShadow.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace velloran::shelf {

namespace {

constexpr double spineHeight = 262;
constexpr double contentPadding = 12;
constexpr double bandHeight = 0.14 * spineHeight;
constexpr double titleRun = 0.66 * spineHeight;
constexpr double albumArtistRun = 0.24 * spineHeight;
constexpr double playlistArtistRun = 0.12 * spineHeight;
// The canonical run the shadow is drawn for; runs of other widths stretch its middle.
constexpr double shadowRunWidth = 120;
constexpr double capWidth = 40;
constexpr double edgeBand = 14;
constexpr double longBand = 1024;

QFont titleFont(LibraryItem::Kind kind)
{
    if (kind == LibraryItem::Kind::playlist)
        return fonts::font(fonts::hand(), 20, QFont::Bold);
    return fonts::font(fonts::serif(), 17);
}

QFont artistFont()
{
    QFont f = fonts::font(fonts::mono(), 9);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.08);
    return f;
}

// A run of text turned to read from the top of the spine down, centred in its part of the
// spine and cut short with an ellipsis when it does not fit.
void paintVerticalText(QPainter &p, const QString &text, const QFont &font, double thickness, double top, double run)
{
    if (text.isEmpty() || run <= 0)
        return;
    const QFontMetricsF metrics(font);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, run - 6);
    p.save();
    p.setFont(font);
    p.translate(thickness / 2, top + run / 2);
    p.rotate(90);
    p.drawText(QRectF(-run / 2, -thickness / 2, run, thickness), Qt::AlignCenter | Qt::TextSingleLine, shown);
    p.restore();
}

} // namespace

size_t qHash(const SpineLook &look, size_t seed) noexcept
{
    return qHashMulti(seed, look.title, look.artist, int(look.kind), look.thickness, look.colours.fill.rgb(),
                      look.colours.ink.rgb(), look.colours.band ? look.colours.band->rgb() : 0u);
}

SpineRenderer::SpineRenderer(qsizetype budgetBytes)
    : m_cache(budgetBytes)
{
}

QImage SpineRenderer::render(const SpineLook &look, qreal dpr)
{
    const double t = look.thickness;
    QImage image(qMax(1, qRound(t * dpr)), qMax(1, qRound(spineHeight * dpr)), QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(look.colours.fill);
    QPainter p(&image);
    prepare(p);

    double y = contentPadding;
    if (look.colours.band) {
        p.fillRect(QRectF(0, y, t, bandHeight), *look.colours.band);
        y += bandHeight;
    }
    p.setPen(look.colours.ink);
    paintVerticalText(p, look.title, titleFont(look.kind), t, y, titleRun);
    y += titleRun;
    paintVerticalText(p, look.artist.toUpper(), artistFont(), t,
                      y, look.kind == LibraryItem::Kind::playlist ? playlistArtistRun : albumArtistRun);

    // The spine's roundness: lit on the leading edge, in shade on the trailing one.
    QLinearGradient round(QPointF(0, 0), QPointF(t, 0));
    round.setColorAt(0.0, QColor(255, 255, 255, 41));
    round.setColorAt(0.4, QColor(255, 255, 255, 0));
    round.setColorAt(1.0, QColor(0, 0, 0, 46));
    p.fillRect(QRectF(0, 0, t, spineHeight), round);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(0, 0, 1, spineHeight), QColor(255, 255, 255, 46));
    p.fillRect(QRectF(t - 1, 0, 1, spineHeight), QColor(0, 0, 0, 89));
    p.fillRect(QRectF(0, 0, t, 2), QColor(255, 255, 255, 71));
    p.fillRect(QRectF(0, spineHeight - 1, t, 1), QColor(0, 0, 0, 26));
    p.end();
    return image;
}

const QImage &SpineRenderer::image(const SpineLook &look, qreal dpr)
{
    const Key key{look, dpr};
    if (QImage *cached = m_cache.object(key))
        return *cached;
    ++m_renders;
    auto *image = new QImage(render(look, dpr));
    const qsizetype cost = image->sizeInBytes();
    if (m_cache.insert(key, image, cost))
        return *m_cache.object(key);
    // Larger than the whole budget: kept only until the next one.
    m_last = render(look, dpr);
    return m_last;
}

const SpineRunShadow::Parts &SpineRunShadow::parts(qreal dpr)
{
    return m_parts.get(NoKey{}, dpr, [dpr] {
        // The two shadows a spine casts: a tight dark one and a wide warm one.
        QPainterPath run;
        run.addRect(QRectF(0, 0, shadowRunWidth, spineHeight));
        const Sprite tight = softShadow(run, 1.5, QColor(0, 0, 0, 89), QPointF(1, 1), dpr);
        const Sprite wide = softShadow(run, 6, QColor(58, 36, 18, 56), QPointF(3, 3), dpr);
        // Whole device pixels on every side, so the parts are copied, never resampled.
        QRectF bounds = QRectF(tight.origin, tight.logicalSize()).united(QRectF(wide.origin, wide.logicalSize()));
        bounds = QRectF(QPointF(std::floor(bounds.left()), std::floor(bounds.top())),
                        QPointF(std::ceil(bounds.right()), std::ceil(bounds.bottom())));
        QImage image = makeCanvas(bounds.size(), dpr);
        QPainter p(&image);
        p.translate(-bounds.topLeft());
        wide.draw(p);
        tight.draw(p);
        p.end();
        Parts parts;
        parts.run = Sprite{image, bounds.topLeft()};
        // A column from the middle, where the shadow no longer changes along the run.
        const int column = int((shadowRunWidth / 2 - bounds.left()) * dpr);
        const auto band = [&](double from, double to) {
            const int y0 = int(std::round((from - bounds.top()) * dpr));
            const int y1 = int(std::round((to - bounds.top()) * dpr));
            QImage strip(int(longBand * dpr), y1 - y0, QImage::Format_ARGB32_Premultiplied);
            for (int y = y0; y < y1; ++y) {
                const QRgb value = reinterpret_cast<const QRgb *>(image.constScanLine(y))[column];
                auto *line = reinterpret_cast<QRgb *>(strip.scanLine(y - y0));
                std::fill(line, line + strip.width(), value);
            }
            strip.setDevicePixelRatio(dpr);
            return strip;
        };
        parts.top = band(bounds.top(), edgeBand);
        parts.bottom = band(spineHeight - edgeBand, bounds.bottom());
        return parts;
    });
}

void SpineRunShadow::paint(QPainter &painter, QPointF base, double width, qreal dpr)
{
    const Parts &p = parts(dpr);
    const QRectF whole(p.run.origin, p.run.logicalSize());
    const double top = base.y() - spineHeight;
    const double x = base.x();
    const double cap = std::min(capWidth, width / 2);
    const auto copy = [&](const QImage &image, QPointF imageOrigin, double x0, double x1, double y0, double y1,
                          double targetX) {
        if (x1 <= x0 || y1 <= y0)
            return;
        const QRectF source(QPointF(x0, y0) - imageOrigin, QSizeF(x1 - x0, y1 - y0));
        painter.drawImage(QRectF(QPointF(targetX, top + y0), source.size()), image,
                          QRectF(source.topLeft() * dpr, source.size() * dpr));
    };
    // The ends, top to bottom.
    copy(p.run.image, p.run.origin, whole.left(), cap, whole.top(), whole.bottom(), x + whole.left());
    copy(p.run.image, p.run.origin, shadowRunWidth - cap, whole.right(), whole.top(), whole.bottom(),
         x + width - cap);
    // The middle along its top and bottom edges only: the spines cover the rest.
    double from = cap;
    while (from < width - cap) {
        const double length = std::min(longBand, width - cap - from);
        copy(p.top, {0, whole.top()}, 0, length, whole.top(), edgeBand, x + from);
        copy(p.bottom, {0, spineHeight - edgeBand}, 0, length, spineHeight - edgeBand, whole.bottom(), x + from);
        from += length;
    }
}

void SpineRunShadow::paintSingle(QPainter &painter, const QRectF &spine, qreal dpr)
{
    paint(painter, spine.bottomLeft(), spine.width(), dpr);
}

} // namespace velloran::shelf
