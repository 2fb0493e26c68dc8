#include "scenes/vinyl/DiscFace.h"

#include "model/Record.h"
#include "paint/Fonts.h"
#include "paint/Palette.h"
#include "paint/SoftShadow.h"
#include "playback/StageGeometry.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cstdint>

#include "core/XorShift.h"

namespace velloran {

DiscFace DiscFace::make(const Record &record, const Side &side)
{
    DiscFace face;
    face.artworkURL = record.artworkURL;
    face.label = side.letter();
    const double duration = double(std::max<qint64>(side.durationMs, 1));
    for (qsizetype i = 1; i < side.startOffsets.size(); ++i)
        face.trackBreaks.append(double(side.startOffsets.at(i)) / duration);
    return face;
}

const QList<GrooveRing> &grooveRings()
{
    static const QList<GrooveRing> rings = [] {
        QList<GrooveRing> result;
        XorShift source(0x9E3779B97F4A7C15ULL);
        for (double r = 84.0; r < 203.0; r += 0.5) {
            const double v = source.fraction(1'000'000);
            if (v <= 0.5)
                result.append({r, true, 0.3 + 0.3 * v});
            else
                result.append({r, false, 0.025 + 0.035 * v});
        }
        return result;
    }();
    return rings;
}

double trackGapRadius(double fraction)
{
    return stage::grooveRadius(fraction);
}

namespace {

void strokeCircle(QPainter &p, QPointF c, double radius, const QColor &color, double width)
{
    p.setPen(QPen(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, radius, radius);
}

void drawLabel(QPainter &p, QPointF c, const DiscFace &face, const QImage &artwork)
{
    const double size = DiscFaceRenderer::labelSize;
    const QRectF rect(c.x() - size / 2, c.y() - size / 2, size, size);
    QPainterPath circle;
    circle.addEllipse(rect);

    p.save();
    p.setClipPath(circle);
    p.fillRect(rect, Palette::deck().artworkPlaceholder);
    if (!artwork.isNull()) {
        // Fill the circle, cropping a non-square cover to its centre.
        const QSizeF source = artwork.size();
        const double side = std::min(source.width(), source.height());
        const QRectF crop((source.width() - side) / 2, (source.height() - side) / 2, side, side);
        p.drawImage(rect, artwork, crop);
    }
    if (!face.label.isEmpty()) {
        // The side's letter, printed small at the foot of the label as pressings do.
        QFont font = fonts::font(fonts::sans(), 9, QFont::Bold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 1.8);
        p.setFont(font);
        const QRectF band(rect.left(), c.y() + 44, size, 14);
        const QString text = QStringLiteral("SIDE ") + face.label;
        p.setPen(QColor(0, 0, 0, 110));
        p.drawText(band.translated(0, 0.8), Qt::AlignCenter, text);
        p.setPen(QColor(255, 252, 244, 215));
        p.drawText(band, Qt::AlignCenter, text);
    }
    p.restore();

    strokeCircle(p, c, size / 2 - 0.5, QColor(0, 0, 0, 64), 1.0);
}

} // namespace

QImage DiscFaceRenderer::renderVinyl(const DiscFace &face, qreal devicePixelRatio)
{
    QImage image = makeCanvas({stage::discDiameter, stage::discDiameter}, devicePixelRatio);
    QPainter p(&image);
    prepare(p);
    const QPointF c(stage::discRadius, stage::discRadius);

    QRadialGradient vinyl(c, stage::discRadius);
    vinyl.setColorAt(0.0, grey(25));
    vinyl.setColorAt(1.0, grey(10));
    p.setPen(Qt::NoPen);
    p.setBrush(vinyl);
    p.drawEllipse(c, stage::discRadius, stage::discRadius);

    for (const GrooveRing &ring : grooveRings())
        strokeCircle(p, c, ring.radius, ring.dark ? QColor(0, 0, 0, qRound(255 * ring.opacity))
                                                  : QColor(255, 255, 255, qRound(255 * ring.opacity)), 0.35);

    for (const double f : face.trackBreaks) {
        const double r = trackGapRadius(f);
        strokeCircle(p, c, r, grey(31), 2.6);
        strokeCircle(p, c, r + 1.4, QColor(255, 255, 255, qRound(255 * 0.06)), 0.3);
    }

    strokeCircle(p, c, 204.5, grey(22), 4.0);
    strokeCircle(p, c, 208.6, QColor(255, 255, 255, qRound(255 * 0.1)), 1.2);
    strokeCircle(p, c, 78.0, grey(20), 10.0);
    return image;
}

QImage DiscFaceRenderer::renderLabel(const DiscFace &face, const QImage &labelArtwork, qreal devicePixelRatio)
{
    QImage image = makeCanvas({labelSize, labelSize}, devicePixelRatio);
    QPainter p(&image);
    prepare(p);
    const QPointF c(labelSize / 2, labelSize / 2);
    drawLabel(p, c, face, labelArtwork);

    QRadialGradient spindle(c, 5.0);
    spindle.setColorAt(0.0, Qt::white);
    spindle.setColorAt(0.5, grey(155));
    spindle.setColorAt(1.0, grey(68));
    p.setPen(Qt::NoPen);
    p.setBrush(spindle);
    p.drawEllipse(c, 4.6, 4.6);
    return image;
}

QImage DiscFaceRenderer::render(const DiscFace &face, const QImage &labelArtwork, qreal devicePixelRatio)
{
    QImage image = renderVinyl(face, devicePixelRatio);
    QPainter p(&image);
    p.drawImage(QPointF(stage::discRadius - labelSize / 2, stage::discRadius - labelSize / 2),
                renderLabel(face, labelArtwork, devicePixelRatio));
    return image;
}

const DiscFaceRenderer::Images &DiscFaceRenderer::images(const DiscFace &face, const QImage &labelArtwork,
                                                         qreal devicePixelRatio)
{
    return m_cache.get(Key{face, labelArtwork.isNull() ? 0 : labelArtwork.cacheKey()}, devicePixelRatio, [&] {
        const qreal dpr = devicePixelRatio;
        const QImage vinyl = renderVinyl(face, dpr);
        const QImage label = renderLabel(face, labelArtwork, dpr);
        QImage whole = vinyl;
        {
            QPainter p(&whole);
            p.drawImage(QPointF(stage::discRadius - labelSize / 2, stage::discRadius - labelSize / 2), label);
        }

        QPainterPath disc;
        disc.addEllipse(QPointF(0, 0), stage::discRadius, stage::discRadius);
        const Sprite shadow = softShadow(disc, 4, QColor(0, 0, 0, qRound(255 * 0.45)), {2, 4}, dpr);
        const QRectF bounds = QRectF(shadow.origin, shadow.logicalSize())
                                  .united(QRectF(-stage::discRadius, -stage::discRadius, stage::discDiameter,
                                                 stage::discDiameter));
        Sprite platter{makeCanvas(bounds.size(), dpr), bounds.topLeft()};
        {
            QPainter p(&platter.image);
            prepare(p);
            p.translate(-bounds.topLeft());
            shadow.draw(p);
            const QPointF corner(-stage::discRadius, -stage::discRadius);
            p.drawImage(corner, vinyl);
            p.setCompositionMode(QPainter::CompositionMode_Plus);
            p.drawImage(corner, DiscSheenRenderer::render(dpr));
        }
        return Images{whole, platter, label};
    });
}

QImage DiscSheenRenderer::render(qreal devicePixelRatio)
{
    QImage image = makeCanvas({stage::discDiameter, stage::discDiameter}, devicePixelRatio);
    QPainter p(&image);
    prepare(p);
    const QPointF c(stage::discRadius, stage::discRadius);
    const QColor light(255, 250, 240);

    // Angles run clockwise on screen from the start angle; a conical gradient runs
    // counter-clockwise from its angle, so the stops are mirrored.
    QConicalGradient sweep(c, -110.0);
    const auto at = [&](double position, double alpha) {
        sweep.setColorAt(1.0 - position, withAlpha(light, alpha));
    };
    at(0.0, 0.0);
    at(0.08, 0.0);
    at(0.13, 0.2);
    at(0.19, 0.0);
    at(0.5, 0.0);
    at(0.61, 0.12);
    at(0.68, 0.0);
    at(1.0, 0.0);
    p.setPen(Qt::NoPen);
    p.setBrush(sweep);
    p.drawEllipse(c, stage::discRadius, stage::discRadius);

    // Only the grooved ring catches the light.
    QRadialGradient mask(c, stage::discRadius);
    mask.setColorAt(0.0, Qt::transparent);
    mask.setColorAt(0.34, Qt::transparent);
    mask.setColorAt(0.36, Qt::black);
    mask.setColorAt(0.98, Qt::black);
    mask.setColorAt(0.99, Qt::transparent);
    mask.setColorAt(1.0, Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.setBrush(mask);
    p.drawRect(QRectF(0, 0, stage::discDiameter, stage::discDiameter));
    return image;
}

const QImage &DiscSheenRenderer::image(qreal devicePixelRatio)
{
    return m_cache.get(NoKey{}, devicePixelRatio, [&] { return render(devicePixelRatio); });
}

} // namespace velloran
