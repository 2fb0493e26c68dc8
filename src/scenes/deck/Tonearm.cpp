#include "scenes/deck/Tonearm.h"

#include "paint/Palette.h"
#include "paint/SoftShadow.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace velloran {
namespace {

QLinearGradient metal(double x0, double x1)
{
    QLinearGradient g(x0, 0, x1, 0);
    g.setColorAt(0.0, QColor(138, 133, 124));
    g.setColorAt(0.45, QColor(251, 248, 242));
    g.setColorAt(1.0, QColor(146, 140, 130));
    return g;
}

void drawArm(QPainter &p)
{
    // Counterweight, with its knurled band.
    QLinearGradient weight(-17, 0, 17, 0);
    weight.setColorAt(0.0, QColor(42, 39, 36));
    weight.setColorAt(0.5, QColor(119, 114, 106));
    weight.setColorAt(1.0, QColor(37, 34, 31));
    QPainterPath body;
    body.addRoundedRect(QRectF(-17, -80, 34, 38), 7, 7);
    p.fillPath(body, weight);
    p.fillRect(QRectF(-17, -65, 34, 2), QColor(20, 19, 18, 200));
    p.fillRect(QRectF(-17, -63, 34, 0.8), QColor(255, 255, 255, 40));

    QPainterPath stub;
    stub.addRoundedRect(QRectF(-5, -46, 10, 30), 3, 3);
    p.fillPath(stub, metal(-5, 5));

    // The tube, straight down and then curving into the headshell.
    QPainterPath tube;
    tube.moveTo(0, 0);
    tube.lineTo(0, 272);
    tube.quadTo(0, 284, 11, 290);
    QPen tubePen(QBrush(metal(-4, 4)), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.strokePath(tube, tubePen);
    p.strokePath(tube.translated(-1.2, 0), QPen(QColor(255, 255, 255, 60), 1.2, Qt::SolidLine, Qt::RoundCap));

    p.save();
    p.translate(0, 320);
    p.rotate(22);
    QPainterPath shell;
    shell.addRoundedRect(QRectF(-13, -38, 26, 44), 4, 4);
    QLinearGradient shellFill(-13, 0, 13, 0);
    shellFill.setColorAt(0.0, QColor(34, 33, 33));
    shellFill.setColorAt(0.5, QColor(62, 60, 58));
    shellFill.setColorAt(1.0, QColor(28, 27, 27));
    p.fillPath(shell, shellFill);
    p.strokePath(shell, QPen(Qt::black, 1));
    // Finger lift.
    p.fillRect(QRectF(12, -34, 9, 3), QColor(190, 186, 178));
    QPainterPath cartridge;
    cartridge.addRoundedRect(QRectF(-9, -20, 18, 17), 2, 2);
    p.fillPath(cartridge, QColor(16, 16, 17));
    p.fillRect(QRectF(-9, -20, 18, 1), QColor(255, 255, 255, 30));
    p.fillRect(QRectF(-1.5, -3, 3, 3), QColor(233, 229, 220));
    p.restore();

    QPainterPath cap;
    cap.addEllipse(QPointF(0, 0), 13, 13);
    p.fillPath(cap, QColor(228, 224, 216));
    p.strokePath(cap, QPen(QColor(94, 90, 84), 2));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawEllipse(QPointF(-3.5, -3.5), 4, 4);
}

} // namespace

double easedLift(double lift)
{
    const double l = std::clamp(lift, 0.0, 1.0);
    return l * l * (3.0 - 2.0 * l);
}

Sprite TonearmRenderer::render(qreal devicePixelRatio)
{
    Sprite sprite{makeCanvas({140, 520}, devicePixelRatio), frameOrigin};
    QPainter p(&sprite.image);
    prepare(p);
    p.translate(-frameOrigin);
    drawArm(p);
    return sprite;
}

const Sprite &TonearmRenderer::arm(qreal devicePixelRatio)
{
    return m_arm.get(NoKey{}, devicePixelRatio, [&] { return render(devicePixelRatio); });
}

TonearmRenderer::Pieces TonearmRenderer::cut(const Sprite &drawing, double top, double bottom)
{
    const QRectF all(drawing.origin, drawing.logicalSize());
    const qreal dpr = drawing.image.devicePixelRatio();
    Pieces pieces;
    pieces.pivotEnd = cropSprite(drawing, QRectF(all.left(), all.top(), all.width(), top - all.top()));
    pieces.headEnd = cropSprite(drawing, QRectF(all.left(), bottom, all.width(), all.bottom() - bottom));
    const QRectF row(all.left(), (top + bottom) / 2, all.width(), 1.0 / dpr);
    const QRectF visible = opaqueBounds(cropSprite(drawing, row));
    pieces.run = cropSprite(drawing, QRectF(visible.left(), row.top(), visible.width(), row.height()));
    pieces.runRect = QRectF(pieces.run.origin.x(), top, pieces.run.logicalSize().width(), bottom - top);
    // Trim the ends to what they show, so that no transparent margin is resampled.
    pieces.pivotEnd = cropSprite(pieces.pivotEnd, opaqueBounds(pieces.pivotEnd));
    pieces.headEnd = cropSprite(pieces.headEnd, opaqueBounds(pieces.headEnd));
    return pieces;
}

void TonearmRenderer::Pieces::draw(QPainter &painter) const
{
    // The cuts between the pieces run straight across the arm; drawn without edge
    // antialiasing, the three tile exactly, with no seam.
    painter.drawImage(runRect, run.image);
    pivotEnd.draw(painter);
    headEnd.draw(painter);
}

const TonearmRenderer::Parts &TonearmRenderer::parts(qreal devicePixelRatio)
{
    return m_parts.get(NoKey{}, devicePixelRatio, [&] {
        const Sprite &drawing = this->arm(devicePixelRatio);
        const auto shadow = [&](qreal radius) {
            Sprite s = softShadow(drawing.image, radius, Qt::black);
            s.origin += drawing.origin;
            return s;
        };
        return Parts{cut(drawing, tubeTop, tubeBottom), cut(shadow(7.0), tubeTop + 30, tubeBottom - 30),
                     cut(shadow(23.0), tubeTop + 60, tubeBottom - 60)};
    });
}

namespace {

// Where the arm and its shadow lie for a pose: the shadow sits lower and grows as the arm rises.
struct ArmPlacement {
    double eased;
    QTransform shadow;
    QTransform arm;
};

ArmPlacement placement(QPointF pivot, double arm, double lift)
{
    const double s = easedLift(lift);
    const double scale = 1.0 + 0.018 * s;
    const QPointF offset(3 + 8 * s, 4 + 12 * s);
    QTransform shadow;
    shadow.translate(pivot.x() + offset.x(), pivot.y() + offset.y());
    shadow.rotate(arm);
    shadow.scale(scale, scale);
    QTransform body;
    body.translate(pivot.x(), pivot.y());
    body.rotate(arm);
    body.scale(scale, scale);
    return {s, shadow, body};
}

void coverRect(const QRectF &rect, const QTransform &toPainter, double step, QList<QRectF> &into)
{
    if (rect.isEmpty())
        return;
    const int lengths = std::max(1, int(std::ceil(rect.height() / step)));
    const double h = rect.height() / lengths;
    for (int i = 0; i < lengths; ++i) {
        const QRectF piece(rect.left(), rect.top() + i * h, rect.width(), h);
        // A pixel past the edge, for the resampling of a turned image.
        into.append(toPainter.mapRect(piece).adjusted(-1, -1, 1, 1));
    }
}

} // namespace

void TonearmRenderer::Pieces::cover(const QTransform &toPainter, double step, QList<QRectF> &into) const
{
    coverRect(runRect, toPainter, step, into);
    for (const Sprite *end : {&pivotEnd, &headEnd})
        if (!end->isNull())
            coverRect(QRectF(end->origin, end->logicalSize()), toPainter, step, into);
}

QList<QRectF> TonearmRenderer::footprint(QPointF pivot, double arm, double lift, qreal devicePixelRatio)
{
    constexpr double step = 24.0;
    const Parts &pieces = parts(devicePixelRatio);
    const ArmPlacement at = placement(pivot, arm, lift);
    QList<QRectF> rects;
    if (at.eased < 1.0)
        pieces.lowered.cover(at.shadow, step, rects);
    if (at.eased > 0.0)
        pieces.raised.cover(at.shadow, step, rects);
    pieces.arm.cover(at.arm, step, rects);
    return rects;
}

void TonearmRenderer::paint(QPainter &painter, QPointF pivot, double arm, double lift, qreal devicePixelRatio)
{
    const Parts &parts = this->parts(devicePixelRatio);
    const double s = easedLift(lift);
    const double scale = 1.0 + 0.018 * s;
    const double opacity = 0.45 - 0.1 * s;
    const QPointF offset(3 + 8 * s, 4 + 12 * s);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.save();
    painter.translate(pivot + offset);
    painter.rotate(arm);
    painter.scale(scale, scale);
    const double baseOpacity = painter.opacity();
    if (s < 1.0) {
        painter.setOpacity(baseOpacity * opacity * (1.0 - s));
        parts.lowered.draw(painter);
    }
    if (s > 0.0) {
        painter.setOpacity(baseOpacity * opacity * s);
        parts.raised.draw(painter);
    }
    painter.restore();

    painter.translate(pivot);
    painter.rotate(arm);
    painter.scale(scale, scale);
    parts.arm.draw(painter);
    painter.restore();
}

} // namespace velloran
