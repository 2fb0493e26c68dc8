#include "scenes/shelf/WallPainters.h"

#include "core/XorShift.h"
#include "paint/PiecewiseStroke.h"
#include "paint/SoftShadow.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace velloran::shelf {

namespace {

const QColor wallPaint(180, 158, 128);
constexpr double skirtingHeight = 58;
constexpr double panelPitch = 280;

// A bevelled moulding line around a recessed panel, lit from the upper left: the lower and
// right inner edges catch the light, the upper and left ones fall into shade.
void paintPanel(QPainter &p, const QRectF &panel)
{
    const QRectF inner = panel.adjusted(6, 6, -6, -6);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Outer edge: the frame stands proud of the field.
    p.fillRect(QRectF(panel.left(), panel.top(), panel.width(), 1.5), QColor(255, 244, 222, 70));
    p.fillRect(QRectF(panel.left(), panel.top(), 1.5, panel.height()), QColor(255, 244, 222, 60));
    p.fillRect(QRectF(panel.left(), panel.bottom() - 1.5, panel.width(), 1.5), QColor(60, 40, 22, 60));
    p.fillRect(QRectF(panel.right() - 1.5, panel.top(), 1.5, panel.height()), QColor(60, 40, 22, 50));
    // The bevel down into the field.
    QLinearGradient shadeTop(0, inner.top() - 6, 0, inner.top());
    shadeTop.setColorAt(0, QColor(70, 48, 26, 46));
    shadeTop.setColorAt(1, QColor(70, 48, 26, 8));
    p.fillRect(QRectF(panel.left() + 1.5, panel.top() + 1.5, panel.width() - 3, 4.5), shadeTop);
    p.fillRect(QRectF(panel.left() + 1.5, panel.top() + 6, 4.5, panel.height() - 7.5), QColor(70, 48, 26, 30));
    p.fillRect(QRectF(panel.left() + 6, panel.bottom() - 6, panel.width() - 7.5, 4.5), QColor(255, 242, 214, 44));
    p.fillRect(QRectF(panel.right() - 6, panel.top() + 6, 4.5, panel.height() - 12), QColor(255, 242, 214, 30));
    p.fillRect(QRectF(inner.left(), inner.top(), inner.width(), 1), QColor(60, 40, 22, 50));
    p.setRenderHint(QPainter::Antialiasing, true);
}

void paintSconce(QPainter &p, QPointF at, double strength)
{
    // The pool of light thrown up and down the wall.
    QRadialGradient pool(at + QPointF(0, 30), 340);
    pool.setColorAt(0.0, QColor(255, 214, 150, int(120 * strength)));
    pool.setColorAt(0.35, QColor(255, 196, 120, int(44 * strength)));
    pool.setColorAt(1.0, QColor(255, 180, 100, 0));
    p.setCompositionMode(QPainter::CompositionMode_Screen);
    p.fillRect(QRectF(at.x() - 360, at.y() - 360, 720, 760), pool);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Back plate and arm in aged brass.
    QPainterPath plate;
    plate.addRoundedRect(QRectF(at.x() - 7, at.y() + 18, 14, 34), 6, 6);
    const Sprite plateShadow = softShadow(plate, 4, QColor(40, 22, 8, 120), QPointF(3, 4), p.device()->devicePixelRatioF());
    plateShadow.draw(p);
    QLinearGradient brass(QPointF(at.x() - 7, 0), QPointF(at.x() + 7, 0));
    brass.setColorAt(0, QColor(214, 170, 96));
    brass.setColorAt(0.5, QColor(168, 122, 58));
    brass.setColorAt(1, QColor(102, 70, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(brass);
    p.drawPath(plate);
    p.setPen(QPen(QColor(150, 108, 50), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at + QPointF(0, 30), at + QPointF(0, 14));

    // The lit shade: a cream drum glowing from within, brightest at its upper left.
    QPainterPath shade;
    shade.moveTo(at + QPointF(-15, -14));
    shade.lineTo(at + QPointF(15, -14));
    shade.lineTo(at + QPointF(20, 16));
    shade.lineTo(at + QPointF(-20, 16));
    shade.closeSubpath();
    QLinearGradient glow(at + QPointF(-20, -14), at + QPointF(20, 16));
    glow.setColorAt(0, QColor(255, 246, 222));
    glow.setColorAt(0.6, QColor(250, 220, 170));
    glow.setColorAt(1, QColor(222, 178, 118));
    p.setBrush(glow);
    p.setPen(QPen(QColor(190, 150, 96), 0.8));
    p.drawPath(shade);
    // Light spilling from the shade's open ends.
    QRadialGradient spill(at + QPointF(0, 20), 40);
    spill.setColorAt(0, QColor(255, 230, 180, 150));
    spill.setColorAt(1, QColor(255, 230, 180, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(spill);
    p.drawEllipse(at + QPointF(0, 22), 40, 14);
}

} // namespace

QImage WallBackground::render(QSize windowSize, double clearRight, qreal dpr)
{
    QImage image(windowSize * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(wallPaint);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = windowSize.width();
    const double h = windowSize.height();

    // The paint's gentle unevenness, so the wall reads as plaster, not as a flat colour.
    XorShift dice(0x51A7E5EEDULL);
    for (int i = 0; i < int(w * h / 900); ++i) {
        const QPointF at(dice.fraction(100'000) * w, dice.fraction(100'000) * h);
        const bool light = dice.fraction(2) > 0.4;
        p.fillRect(QRectF(at, QSizeF(1.2, 1.2)), light ? QColor(255, 246, 230, 10) : QColor(80, 60, 40, 10));
    }

    // Panelling: a dado rail at two thirds of the way down, tall panels above it, short ones
    // below, on a pitch anchored to the wall's centre so both edges end alike.
    const double floor = h - skirtingHeight;
    const double rail = std::max(200.0, floor * 0.64);
    const double firstX = std::fmod(w / 2 - panelPitch / 2, panelPitch) - panelPitch;
    for (double x = firstX; x < w; x += panelPitch) {
        paintPanel(p, QRectF(x + 22, 24, panelPitch - 44, rail - 24 - 30));
        if (floor - rail > 70)
            paintPanel(p, QRectF(x + 22, rail + 26, panelPitch - 44, floor - rail - 26 - 22));
    }
    // The dado rail: a rounded moulding, lit on top.
    QLinearGradient railShade(0, rail - 8, 0, rail + 8);
    railShade.setColorAt(0.0, QColor(236, 220, 192));
    railShade.setColorAt(0.35, QColor(206, 186, 154));
    railShade.setColorAt(1.0, QColor(128, 104, 76));
    p.fillRect(QRectF(0, rail - 8, w, 16), railShade);
    p.fillRect(QRectF(0, rail + 8, w, 4), QColor(70, 48, 26, 50));

    // The evening lamp's light from the upper left, falling off across the room.
    QRadialGradient lamp(QPointF(w * 0.12, -h * 0.25), std::max(w, h) * 1.15);
    lamp.setColorAt(0.0, QColor(255, 206, 150, 110));
    lamp.setColorAt(0.45, QColor(255, 190, 120, 38));
    lamp.setColorAt(1.0, QColor(255, 180, 110, 0));
    p.setCompositionMode(QPainter::CompositionMode_Screen);
    p.fillRect(QRectF(0, 0, w, h), lamp);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Wall lights, kept clear of the floating controls.
    const double lightY = 16;
    paintSconce(p, QPointF(std::round(w * 0.36), lightY), 1.0);
    const double second = std::round(w * 0.7);
    if (second + 60 < clearRight)
        paintSconce(p, QPointF(second, lightY), 0.7);

    // The skirting: a painted board along the floor with a moulded top, a touch darker.
    const QRectF skirting(0, floor, w, skirtingHeight);
    QLinearGradient board(0, floor, 0, h);
    board.setColorAt(0.0, QColor(174, 152, 122));
    board.setColorAt(0.12, QColor(150, 128, 98));
    board.setColorAt(1.0, QColor(118, 98, 72));
    p.fillRect(skirting, board);
    p.fillRect(QRectF(0, floor - 5, w, 5), QColor(60, 40, 22, 40));
    p.fillRect(QRectF(0, floor, w, 2), QColor(240, 222, 190, 120));
    p.fillRect(QRectF(0, floor + 10, w, 1), QColor(70, 50, 28, 80));
    p.fillRect(QRectF(0, floor + 11, w, 1), QColor(240, 222, 190, 50));

    // Dusk gathers at the room's edges and in its lower right, away from the lamp.
    const double reach = std::max(w, h) * 0.8;
    QRadialGradient edges(QPointF(w * 0.4, h * 0.34), reach);
    edges.setColorAt(0.0, QColor(24, 12, 30, 0));
    edges.setColorAt(0.55, QColor(24, 12, 30, 26));
    edges.setColorAt(1.0, QColor(14, 7, 20, 135));
    p.fillRect(QRectF(0, 0, w, h), edges);
    p.end();
    return image;
}

const QImage &WallBackground::image(QSize windowSize, double clearRight, qreal dpr, bool makeshift)
{
    if (makeshift && !m_cache.holds({windowSize, clearRight}, dpr))
        if (const QImage *held = m_cache.held(dpr))
            return *held;
    return m_cache.get({windowSize, clearRight}, dpr, [&] { return render(windowSize, clearRight, dpr); });
}

Sprite OakShelfRenderer::render(double width, qreal dpr)
{
    constexpr double depth = boardDepth;
    constexpr double topSliver = 5;
    const double bracketDrop = 46;
    XorShift grain(0xA5C0FFEEULL);
    for (int i = 0; i < 4; ++i)
        grain.next();

    // Where the brackets stand: near both ends, and about every 420 points between.
    QList<double> brackets;
    const int spans = std::max(1, int(std::round((width - 80) / 420)));
    for (int i = 0; i <= spans; ++i)
        brackets.append(40 + (width - 80) * i / spans);

    QPainterPath silhouette;
    silhouette.addRect(QRectF(0, -topSliver, width, depth + topSliver));
    for (double x : brackets) {
        QPainterPath bracket;
        bracket.moveTo(x - 5, depth);
        bracket.lineTo(x + 5, depth);
        bracket.lineTo(x + 5, depth + bracketDrop);
        bracket.lineTo(x - 5, depth + bracketDrop);
        bracket.closeSubpath();
        silhouette.addPath(bracket);
    }
    const Sprite contact = softShadow(silhouette, 3, QColor(30, 16, 6, 120), QPointF(2, 3), dpr);
    const Sprite cast = softShadow(silhouette, 14, QColor(58, 36, 18, 110), QPointF(8, 14), dpr);
    const QRectF bounds = QRectF(contact.origin, contact.logicalSize()).united(QRectF(cast.origin, cast.logicalSize()));
    QImage image = makeCanvas(bounds.size(), dpr);
    QPainter p(&image);
    prepare(p);
    p.translate(-bounds.topLeft());
    cast.draw(p);
    contact.draw(p);

    // Brackets: iron straps screwed to the wall, lit on their left edge.
    for (double x : brackets) {
        const QRectF strap(x - 5, depth - 2, 10, bracketDrop + 2);
        QLinearGradient iron(strap.topLeft(), strap.topRight());
        iron.setColorAt(0, QColor(96, 84, 74));
        iron.setColorAt(0.35, QColor(58, 50, 44));
        iron.setColorAt(1, QColor(30, 26, 22));
        QPainterPath strapPath;
        strapPath.addRoundedRect(strap, 2, 2);
        p.fillPath(strapPath, iron);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 16, 12));
        p.drawEllipse(QPointF(x, depth + bracketDrop - 9), 1.6, 1.6);
        p.drawEllipse(QPointF(x, depth + 14), 1.6, 1.6);
        p.setBrush(QColor(160, 140, 120, 120));
        p.drawEllipse(QPointF(x - 0.5, depth + bracketDrop - 9.5), 0.6, 0.6);
        p.drawEllipse(QPointF(x - 0.5, depth + 13.5), 0.6, 0.6);
    }

    // The board's lit top, seen just above its front edge.
    const double tone = grain.fraction(1000);
    const QColor oak(138 + int(18 * tone), 92 + int(12 * tone), 54 + int(8 * tone));
    QLinearGradient top(0, -topSliver, 0, 0);
    top.setColorAt(0, oak.lighter(118));
    top.setColorAt(1, oak.lighter(132));
    p.fillRect(QRectF(0, -topSliver, width, topSliver), top);

    // The front edge, its grain running along the board, each streak drawn 30 points at a time.
    QLinearGradient front(0, 0, 0, depth);
    front.setColorAt(0.0, oak.lighter(112));
    front.setColorAt(0.5, oak);
    front.setColorAt(1.0, oak.darker(128));
    p.fillRect(QRectF(0, 0, width, depth), front);
    p.save();
    p.setClipRect(QRectF(0, -topSliver, width, depth + topSliver));
    for (double y = -topSliver + 0.6; y < depth; y += 1.3) {
        const double v = grain.fraction(1'000'003);
        const double phase = grain.fraction(1000) * 6.283;
        const double wave = 0.3 + 0.9 * grain.fraction(1000);
        const double period = 90 + 200 * grain.fraction(1000);
        const auto at = [&](double x) { return QPointF(x, y + wave * std::sin(phase + x / period)); };
        QColor c = v > 0.82 ? QColor(226, 182, 128, 40) : v < 0.2 ? QColor(62, 34, 16, 70) : QColor(80, 48, 24, 22);
        strokeInPieces(p, QPen(c, 0.5 + 0.9 * grain.fraction(1000)), 0, width, 30, at);
    }
    p.restore();
    // The arris: a bright line where the lit top meets the front, and the dark underside.
    p.fillRect(QRectF(0, -0.6, width, 1.2), QColor(255, 222, 170, 110));
    p.fillRect(QRectF(0, depth - 1.2, width, 1.2), QColor(30, 16, 6, 150));
    // The end grain catches the light at the left end, falls into shade at the right.
    p.fillRect(QRectF(0, -topSliver, 1.5, depth + topSliver), QColor(255, 226, 180, 70));
    p.fillRect(QRectF(width - 1.5, -topSliver, 1.5, depth + topSliver), QColor(30, 16, 6, 110));
    p.end();
    return {image, bounds.topLeft()};
}

const Sprite &OakShelfRenderer::sprite(double width, qreal dpr)
{
    return m_cache.get(width, dpr, [&] { return render(width, dpr); });
}

void OakShelfRenderer::draw(QPainter &painter, QPointF at, double width, qreal dpr, bool makeshift)
{
    double heldWidth = 0;
    const Sprite *held = makeshift && !m_cache.holds(width, dpr) ? m_cache.held(dpr, &heldWidth) : nullptr;
    if (!held || heldWidth <= 0) {
        sprite(width, dpr).draw(painter, at);
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(at);
    painter.scale(width / heldWidth, 1);
    held->draw(painter, {0, 0});
    painter.restore();
}

Sprite BookEndRenderer::render(qreal dpr)
{
    constexpr double height = 168;
    constexpr double thickness = 9;
    QPainterPath plate;
    plate.moveTo(0, 0);
    plate.lineTo(0, -height + 10);
    plate.quadTo(0, -height, 10, -height);
    plate.lineTo(thickness, -height);
    plate.lineTo(thickness, 0);
    plate.closeSubpath();
    plate = plate.intersected([] {
        QPainterPath box;
        box.addRect(QRectF(0, -height, thickness, height));
        return box;
    }());
    const Sprite contact = softShadow(plate, 1.5, QColor(0, 0, 0, 100), QPointF(1, 1), dpr);
    const Sprite cast = softShadow(plate, 6, QColor(58, 36, 18, 70), QPointF(4, 3), dpr);
    const QRectF bounds = QRectF(contact.origin, contact.logicalSize()).united(QRectF(cast.origin, cast.logicalSize()));
    QImage image = makeCanvas(bounds.size(), dpr);
    QPainter p(&image);
    prepare(p);
    p.translate(-bounds.topLeft());
    cast.draw(p);
    contact.draw(p);
    QLinearGradient steel(QPointF(0, 0), QPointF(thickness, 0));
    steel.setColorAt(0.0, QColor(128, 120, 112));
    steel.setColorAt(0.3, QColor(72, 66, 60));
    steel.setColorAt(1.0, QColor(34, 30, 28));
    p.fillPath(plate, steel);
    p.setPen(QPen(QColor(220, 206, 186, 90), 0.8));
    p.drawLine(QPointF(0.4, -height + 8), QPointF(0.4, -1));
    p.end();
    return {image, bounds.topLeft()};
}

const Sprite &BookEndRenderer::sprite(qreal dpr)
{
    return m_cache.get(NoKey{}, dpr, [dpr] { return render(dpr); });
}

} // namespace velloran::shelf
