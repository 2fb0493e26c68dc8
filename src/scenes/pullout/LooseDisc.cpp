#include "scenes/pullout/LooseDisc.h"

#include "artwork/CoverPainting.h"
#include "paint/SoftShadow.h"

#include <QConicalGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdint>

namespace velloran {

namespace {

const QColor vinylBlack(12, 12, 12);
const QColor spindleHole(17, 17, 17);
constexpr double spindleFraction = 0.024;

// The groove pattern: the same rings on every drawing, from a fixed seed.
void paintGrooves(QPainter &p, double diameter)
{
    std::uint64_t s = 0x8FF34785799E5CBDULL;
    p.setBrush(Qt::NoBrush);
    for (double r = 0.18 * diameter; r < 0.485 * diameter; r += 1.1) {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        const double u = double(s % 1'000'000) / 1'000'000.0;
        const QColor ink = u > 0.5 ? QColor::fromRgbF(1, 1, 1, float(u * 0.04 + 0.03)) : QColor::fromRgbF(0, 0, 0, 0.45f);
        p.setPen(QPen(ink, 0.6));
        p.drawEllipse(QPointF(0, 0), r, r);
    }
}

} // namespace

Sprite LooseDiscRenderer::renderVinyl(double diameter, qreal dpr)
{
    const double radius = diameter / 2;
    QPainterPath disc;
    disc.addEllipse(QPointF(0, 0), radius, radius);
    // A deep soft shadow below, the disc standing a little off the backdrop, lit from above left.
    const Sprite shadow = softShadow(disc, 22, QColor(0, 0, 0, 150), QPointF(6, 16), dpr);

    const double margin = 0.5;
    QRectF bounds = QRectF(-radius - margin, -radius - margin, diameter + 2 * margin, diameter + 2 * margin);
    bounds = bounds.united(QRectF(shadow.origin, shadow.logicalSize()));
    QImage image = makeCanvas(bounds.size(), dpr);
    QPainter p(&image);
    prepare(p);
    p.translate(-bounds.topLeft());
    shadow.draw(p);

    p.setPen(Qt::NoPen);
    p.setBrush(vinylBlack);
    p.drawPath(disc);
    p.save();
    p.setClipPath(disc);
    paintGrooves(p, diameter);
    // Light from the upper left catches the grooves in two opposite fans; it does not turn
    // with the disc, as a real reflection would not.
    QConicalGradient sheen(QPointF(0, 0), 135);
    sheen.setColorAt(0.00, QColor(255, 246, 232, 46));
    sheen.setColorAt(0.07, QColor(255, 246, 232, 0));
    sheen.setColorAt(0.43, QColor(255, 246, 232, 0));
    sheen.setColorAt(0.50, QColor(255, 246, 232, 26));
    sheen.setColorAt(0.57, QColor(255, 246, 232, 0));
    sheen.setColorAt(0.93, QColor(255, 246, 232, 0));
    sheen.setColorAt(1.00, QColor(255, 246, 232, 46));
    p.setCompositionMode(QPainter::CompositionMode_Screen);
    p.setBrush(sheen);
    p.drawEllipse(QPointF(0, 0), radius, radius);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // The rim's bevel: lit at the top left, in shade at the bottom right.
    QLinearGradient rim(QPointF(-radius, -radius), QPointF(radius, radius));
    rim.setColorAt(0, QColor(255, 255, 255, 46));
    rim.setColorAt(0.5, QColor(255, 255, 255, 8));
    rim.setColorAt(1, QColor(0, 0, 0, 80));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 1.2));
    p.drawEllipse(QPointF(0, 0), radius - 0.6, radius - 0.6);
    p.restore();
    p.end();
    return {image, bounds.topLeft()};
}

QImage LooseDiscRenderer::renderLabel(double diameter, const std::optional<QImage> &artwork, qreal dpr)
{
    const double side = labelFraction * diameter;
    QImage image = makeCanvas({side, side}, dpr);
    QPainter p(&image);
    prepare(p);
    QPainterPath circle;
    circle.addEllipse(QRectF(0, 0, side, side));
    p.setClipPath(circle);
    cover::paintArtwork(p, QRectF(0, 0, side, side), artwork, cover::albumPlaceholder);
    // The label's paper edge pressed into the vinyl.
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 90), 1.0));
    p.drawEllipse(QRectF(0.5, 0.5, side - 1, side - 1));
    const double hole = spindleFraction * diameter;
    p.setPen(Qt::NoPen);
    p.setBrush(spindleHole);
    p.drawEllipse(QPointF(side / 2, side / 2), hole / 2, hole / 2);
    p.end();
    return image;
}

const Sprite &LooseDiscRenderer::vinyl(double diameter, qreal dpr)
{
    return m_vinyl.get(diameter, dpr, [&] { return renderVinyl(diameter, dpr); });
}

const QImage &LooseDiscRenderer::label(double diameter, const std::optional<QImage> &artwork, qreal dpr)
{
    const LabelKey key{diameter, artwork ? artwork->cacheKey() : 0};
    return m_label.get(key, dpr, [&] { return renderLabel(diameter, artwork, dpr); });
}

void LooseDiscRenderer::paint(QPainter &painter, const QRectF &square, double degrees,
                              const std::optional<QImage> &artwork, qreal dpr)
{
    const double diameter = square.width();
    const QPointF centre = square.center();
    vinyl(diameter, dpr).draw(painter, centre);
    const QImage &labelImage = label(diameter, artwork, dpr);
    const double side = labelFraction * diameter;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(centre);
    painter.rotate(degrees);
    painter.drawImage(QPointF(-side / 2, -side / 2), labelImage);
    painter.restore();
}

} // namespace velloran
