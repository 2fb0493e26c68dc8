#include "scenes/deck/DeckButton.h"

#include "paint/Fonts.h"
#include "paint/SoftShadow.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace velloran {

Sprite DeckButtonRenderer::render(const DeckButtonStyle &style, bool down, const Palette &palette,
                                  qreal devicePixelRatio)
{
    const double travel = DeckButtonStyle::travel;
    const double radius = DeckButtonStyle::cornerRadius;
    const QSizeF faceSize(style.size.width(), style.size.height() - travel);
    const double faceTop = DeckButtonStyle::faceOffset(down);

    QPainterPath face;
    face.addRoundedRect(QRectF(QPointF(0, faceTop), faceSize), radius, radius);
    QPainterPath slab;
    slab.addRoundedRect(QRectF(QPointF(0, travel), faceSize), radius, radius);

    const Sprite shadow = down ? softShadow(slab, 1.5, QColor(0, 0, 0, qRound(255 * 0.3)), {0, 1}, devicePixelRatio)
                               : softShadow(slab, 4.0, QColor(0, 0, 0, qRound(255 * 0.28)), {0, 5}, devicePixelRatio);

    const QRectF frame(QPointF(0, 0), style.size);
    const QRectF bounds = QRectF(shadow.origin, shadow.logicalSize()).united(frame);
    Sprite sprite{makeCanvas(bounds.size(), devicePixelRatio), bounds.topLeft()};
    QPainter p(&sprite.image);
    prepare(p);
    p.translate(-bounds.topLeft());
    shadow.draw(p);

    p.fillPath(slab, QColor(159, 157, 151));

    QLinearGradient fill(0, faceTop, 0, faceTop + faceSize.height());
    fill.setColorAt(0.0, QColor(251, 250, 247));
    fill.setColorAt(1.0, QColor(216, 214, 208));
    p.fillPath(face, fill);
    QLinearGradient gloss(0, faceTop, 0, faceTop + faceSize.height() / 2);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 190));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillPath(face, gloss);
    QPainterPath hairline;
    hairline.addRoundedRect(QRectF(QPointF(0.5, faceTop + 0.5), faceSize - QSizeF(1, 1)), radius - 0.5, radius - 0.5);
    p.strokePath(hairline, QPen(QColor(0, 0, 0, 38), 1.0));

    QFont font = fonts::font(fonts::mono(), 11, style.weight);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.1);
    p.setFont(font);
    p.setPen(palette.buttonInk);
    p.drawText(QRectF(QPointF(0, faceTop), faceSize), Qt::AlignCenter, style.title);
    return sprite;
}

const Sprite &DeckButtonRenderer::sprite(const DeckButtonStyle &style, bool down, qreal devicePixelRatio,
                                         const Palette &palette)
{
    auto &cache = down ? m_down : m_up;
    // Whether the button is latched only decides which of the two drawings shows, so both
    // stay kept while the motor or the speed changes.
    DeckButtonStyle drawing = style;
    drawing.engaged = false;
    return cache.get(Key{drawing, palette}, devicePixelRatio,
                     [&] { return render(drawing, down, palette, devicePixelRatio); });
}

} // namespace velloran
