#include "scenes/deck/DeckBody.h"

#include "paint/Fonts.h"
#include "paint/SoftShadow.h"
#include "scenes/deck/DeckGeometry.h"
#include "scenes/deck/Dial.h"
#include "scenes/deck/HardwareLabel.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

namespace velloran {
namespace {

QRectF centred(QPointF centre, QSizeF size)
{
    return {centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height()};
}

void drawShadowed(QPainter &p, const QPainterPath &shape, qreal radius, const QColor &color, QPointF offset,
                  qreal dpr)
{
    softShadow(shape, radius, color, offset, dpr).draw(p);
}

void drawDeckTop(QPainter &p, qreal dpr)
{
    const QRectF rect = deck::deckTopRect;
    QPainterPath shape;
    shape.addRoundedRect(rect, 14, 14);
    drawShadowed(p, shape, 6, QColor(0, 0, 0, 150), {0, 3}, dpr);
    QLinearGradient fill(rect.topLeft(), rect.bottomRight());
    fill.setColorAt(0.0, QColor(58, 58, 60));
    fill.setColorAt(1.0, QColor(14, 14, 15));
    p.fillPath(shape, fill);
    // A fine brushed grain across the panel.
    p.save();
    p.setClipPath(shape);
    for (double y = rect.top() + 0.5; y < rect.bottom(); y += 2.0) {
        const int alpha = (int(y * 7.3) % 5) * 2 + 2;
        p.fillRect(QRectF(rect.left(), y, rect.width(), 0.6), QColor(255, 255, 255, alpha));
    }
    p.restore();
    QPainterPath edge;
    edge.addRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 13.5, 13.5);
    QLinearGradient rim(rect.topLeft(), rect.bottomRight());
    rim.setColorAt(0.0, QColor(255, 255, 255, 60));
    rim.setColorAt(0.6, QColor(255, 255, 255, 10));
    rim.setColorAt(1.0, QColor(0, 0, 0, 90));
    p.strokePath(edge, QPen(QBrush(rim), 1));
}

void drawFitting(QPainter &p, QPointF centre, qreal dpr)
{
    const QRectF rect = centred(centre, {56, 16});
    QPainterPath shape;
    shape.addRoundedRect(rect, 4, 4);
    drawShadowed(p, shape, 2, QColor(0, 0, 0, 140), {1, 2}, dpr);
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0.0, QColor(92, 90, 86));
    fill.setColorAt(1.0, QColor(34, 33, 32));
    p.fillPath(shape, fill);
    p.strokePath(shape, QPen(QColor(0, 0, 0, 160), 0.8));
    // The hinge pin and its two screws.
    p.fillRect(QRectF(rect.left() + 6, centre.y() - 1, rect.width() - 12, 2), QColor(160, 157, 150));
    p.setPen(Qt::NoPen);
    for (const double dx : {-20.0, 20.0}) {
        p.setBrush(QColor(20, 20, 20));
        p.drawEllipse(centre + QPointF(dx, 0), 2.2, 2.2);
        p.setBrush(QColor(140, 138, 132));
        p.drawEllipse(centre + QPointF(dx - 0.4, -0.4), 1.2, 1.2);
    }
}

void drawPlatter(QPainter &p, const QImage &mat, qreal dpr)
{
    const QRectF rect = centred(deck::platterCentre, {deck::platterDiameter, deck::platterDiameter});
    QPainterPath shape;
    shape.addEllipse(rect);
    drawShadowed(p, shape, 6, QColor(0, 0, 0, qRound(255 * 0.35)), {7, 6}, dpr);
    QRadialGradient fill(deck::platterCentre, deck::platterDiameter / 2);
    fill.setColorAt(0.0, QColor(43, 43, 44));
    fill.setColorAt(0.6, QColor(43, 43, 44));
    fill.setColorAt(0.61, QColor(27, 27, 28));
    fill.setColorAt(1.0, QColor(27, 27, 28));
    p.fillPath(shape, fill);
    // The platter's turned rim, with the strobe dots around it.
    p.setPen(QPen(QColor(120, 118, 114), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(deck::platterCentre, deck::platterDiameter / 2 - 1.1, deck::platterDiameter / 2 - 1.1);
    p.setPen(QPen(QColor(255, 255, 255, 40), 0.8));
    p.drawEllipse(deck::platterCentre, deck::platterDiameter / 2 - 3.2, deck::platterDiameter / 2 - 3.2);
    p.drawImage(rect.topLeft(), mat);
}

void drawNamePlate(QPainter &p, const Palette &palette)
{
    const QRectF frame = centred({1010, 746}, {428, 20});
    QFont font = fonts::font(fonts::sans(), 12, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3.84);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const QString model = DeckBodyRenderer::modelLine();
    const QString mark = DeckBodyRenderer::monogram();
    const double modelWidth = metrics.horizontalAdvance(model);
    const double markWidth = metrics.horizontalAdvance(mark);
    // The plate's frame reaches under the round boss; the lettering stops short of it.
    // Letter spacing trails the last letter, so the visible text ends flush.
    const double right = std::min(frame.right(), 1183.0 - 17.0 - 14.0) + 3.84;
    p.setPen(palette.engraving);
    p.drawText(QPointF(right - modelWidth, frame.center().y() + metrics.capHeight() / 2), model);
    p.setPen(palette.creamPrint);
    p.drawText(QPointF(right - modelWidth - markWidth, frame.center().y() + metrics.capHeight() / 2), mark);
}

void drawRoundBoss(QPainter &p, qreal dpr)
{
    const QPointF c(1183, 745);
    QPainterPath shape;
    shape.addEllipse(c, 17, 17);
    drawShadowed(p, shape, 2.5, QColor(0, 0, 0, qRound(255 * 0.35)), {1.5, 2}, dpr);
    QRadialGradient fill(c, 17);
    fill.setColorAt(0.0, QColor(27, 28, 31));
    fill.setColorAt(0.22, QColor(27, 28, 31));
    fill.setColorAt(0.24, QColor(201, 199, 193));
    fill.setColorAt(0.6, QColor(201, 199, 193));
    fill.setColorAt(0.62, QColor(143, 141, 135));
    fill.setColorAt(1.0, QColor(143, 141, 135));
    p.fillPath(shape, fill);
    p.strokePath(shape, QPen(QColor(0, 0, 0, 70), 0.6));
}

void drawTonearmBase(QPainter &p, qreal dpr)
{
    const QRectF plate = deck::tonearmBasePlateFrame;
    QPainterPath plateShape;
    plateShape.addRoundedRect(plate, 10, 10);
    drawShadowed(p, plateShape, 3, QColor(0, 0, 0, 130), {2, 3}, dpr);
    QLinearGradient plateFill(plate.topLeft(), plate.bottomRight());
    plateFill.setColorAt(0.0, QColor(143, 141, 135));
    plateFill.setColorAt(1.0, QColor(85, 83, 78));
    p.fillPath(plateShape, plateFill);
    p.strokePath(plateShape, QPen(QColor(255, 255, 255, 50), 0.8));

    const QPointF c = deck::tonearmPivot;
    QPainterPath ring;
    ring.addEllipse(c, 44, 44);
    drawShadowed(p, ring, 5, QColor(0, 0, 0, 120), {6, 4}, dpr);
    QLinearGradient ringFill(c - QPointF(44, 44), c + QPointF(44, 44));
    ringFill.setColorAt(0.0, QColor(44, 42, 39));
    ringFill.setColorAt(1.0, QColor(17, 17, 17));
    p.fillPath(ring, ringFill);

    QPainterPath bearing;
    bearing.addEllipse(c, 35, 35);
    QRadialGradient bearingFill(c - QPointF(10, 12), 60);
    bearingFill.setColorAt(0.0, QColor(240, 238, 233));
    bearingFill.setColorAt(0.5, QColor(168, 166, 160));
    bearingFill.setColorAt(1.0, QColor(119, 117, 111));
    p.fillPath(bearing, bearingFill);
    p.strokePath(bearing, QPen(QColor(0, 0, 0, 90), 0.8));
    p.setPen(QPen(QColor(0, 0, 0, 40), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 24, 24);
}

// The arm rest, under the parked arm's tube: a turned post with a rubber-lined cradle.
void drawArmRest(QPainter &p, qreal dpr)
{
    const QPointF c(1125, 561);
    QPainterPath post;
    post.addEllipse(c, 11, 11);
    drawShadowed(p, post, 2.5, QColor(0, 0, 0, 150), {2.5, 3}, dpr);
    QRadialGradient fill(c - QPointF(3, 4), 14);
    fill.setColorAt(0.0, QColor(226, 223, 216));
    fill.setColorAt(0.6, QColor(150, 147, 140));
    fill.setColorAt(1.0, QColor(92, 90, 85));
    p.fillPath(post, fill);
    p.strokePath(post, QPen(QColor(0, 0, 0, 110), 0.8));
    p.save();
    p.translate(c);
    p.rotate(-4);
    QPainterPath cradle;
    cradle.addRoundedRect(QRectF(-7, -4, 14, 8), 2.5, 2.5);
    p.fillPath(cradle, QColor(24, 23, 22));
    p.fillRect(QRectF(-5.5, -1, 11, 2), QColor(48, 46, 44));
    p.restore();
}

} // namespace

Sprite DeckBodyRenderer::render(const Palette &palette, qreal dpr)
{
    const Sprite &plinth = m_plinth.sprite(dpr, palette);
    const QRectF bounds(deck::plinthRect.topLeft() + plinth.origin, plinth.logicalSize());
    Sprite sprite{makeCanvas(bounds.size(), dpr), bounds.topLeft()};
    QPainter p(&sprite.image);
    prepare(p);
    p.translate(-bounds.topLeft());

    plinth.draw(p, deck::plinthRect.topLeft());
    drawDeckTop(p, dpr);
    drawFitting(p, {668, 248}, dpr);
    drawFitting(p, {1112, 248}, dpr);
    drawPlatter(p, m_mat.image(dpr), dpr);
    drawNamePlate(p, palette);
    drawRoundBoss(p, dpr);
    drawTonearmBase(p, dpr);
    drawArmRest(p, dpr);

    DialRenderer dial;
    p.save();
    p.translate(deck::antiSkateKnobFrame.center());
    dial.paint(p, deck::antiSkateKnobFrame.width(), -35, dpr, palette);
    p.restore();
    HardwareLabelRenderer::render(QStringLiteral("ANTI-SKATE"), palette, dpr).draw(p, deck::antiSkateLabelCentre);
    return sprite;
}

const Sprite &DeckBodyRenderer::sprite(qreal devicePixelRatio, const Palette &palette)
{
    return m_cache.get(palette, devicePixelRatio, [&] { return render(palette, devicePixelRatio); });
}

} // namespace velloran
