#include "scenes/deck/PitchFader.h"

#include "paint/SoftShadow.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace velloran {

double PitchFaderDrag::pitchFor(double start, double translationY)
{
    const double raw = start + translationY / pointsPerPercent;
    // The detent catches the knob before rounding, so a small nudge off the centre (3 points
    // is 0.35 %) stays at 0 instead of rounding up to 0.4.
    if (std::abs(raw) < detent)
        return 0.0;
    const double tenths = std::round(raw * 10.0) / 10.0;
    return std::clamp(tenths, -range, range);
}

double PitchFaderDrag::change(double currentPitch, double translationY)
{
    if (!m_dragStart)
        m_dragStart = currentPitch;
    return pitchFor(*m_dragStart, translationY);
}

double PitchFaderRenderer::knobTop(double pitch)
{
    return 68.0 + PitchFaderDrag::pointsPerPercent * std::clamp(pitch, -PitchFaderDrag::range, PitchFaderDrag::range);
}

PitchFaderRenderer::Parts PitchFaderRenderer::render(const Palette &palette, qreal devicePixelRatio)
{
    Parts parts;
    parts.slot = {makeCanvas(size, devicePixelRatio), {}};
    {
        QPainter p(&parts.slot.image);
        prepare(p);
        QPainterPath slot;
        slot.addRoundedRect(QRectF(16, 6, 8, 148), 3, 3);
        p.fillPath(slot, QColor(30, 31, 34));
        p.strokePath(slot.translated(0, 0.7), QPen(QColor(255, 255, 255, 40), 0.6));
        // A tick per percent beside the slot, longer every four.
        const double centre = 68.0 + knobSize.height() / 2;
        for (int percent = -8; percent <= 8; ++percent) {
            const double y = centre + PitchFaderDrag::pointsPerPercent * percent;
            const double length = percent % 4 == 0 ? 7.0 : 4.0;
            const QColor tick = withAlpha(palette.engraving, percent % 4 == 0 ? 0.85 : 0.55);
            p.fillRect(QRectF(13 - length, y - 0.5, length, 1), tick);
            p.fillRect(QRectF(27, y - 0.5, length, 1), tick);
        }
    }

    QPainterPath knobShape;
    knobShape.addRoundedRect(QRectF(QPointF(0, 0), knobSize), 5, 5);
    const Sprite shadow = softShadow(knobShape, 2.5, QColor(0, 0, 0, qRound(255 * 0.4)), {0, 2}, devicePixelRatio);
    const QRectF bounds = QRectF(shadow.origin, shadow.logicalSize()).united(QRectF(QPointF(0, 0), knobSize));
    parts.knob = {makeCanvas(bounds.size(), devicePixelRatio), bounds.topLeft()};
    QPainter p(&parts.knob.image);
    prepare(p);
    p.translate(-bounds.topLeft());
    shadow.draw(p);
    QLinearGradient fill(0, 0, 0, knobSize.height());
    fill.setColorAt(0.0, QColor(251, 250, 247));
    fill.setColorAt(1.0, QColor(207, 205, 198));
    p.fillPath(knobShape, fill);
    p.strokePath(knobShape, QPen(QColor(0, 0, 0, 50), 0.6));
    p.fillRect(QRectF(5, knobSize.height() / 2 - 1, knobSize.width() - 10, 2), palette.buttonInk);
    return parts;
}

void PitchFaderRenderer::paint(QPainter &painter, double pitch, qreal devicePixelRatio, const Palette &palette)
{
    const Parts &parts = m_cache.get(palette, devicePixelRatio, [&] { return render(palette, devicePixelRatio); });
    parts.slot.draw(painter);

    parts.knob.draw(painter, QPointF((size.width() - knobSize.width()) / 2, knobTop(pitch)));

    // Left of the knob's travel, and over its shadow, so it is never covered.
    const double centre = 68.0 + knobSize.height() / 2;
    const QRectF marker(0.5, centre - 3, 2.5, 6);
    painter.fillRect(marker, withAlpha(palette.detentGreen, pitch == 0.0 ? 1.0 : 0.15));
}

} // namespace velloran
