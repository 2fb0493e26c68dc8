#include "scenes/deck/HardwareLabel.h"

#include "paint/Fonts.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace velloran {

QFont HardwareLabelRenderer::font()
{
    QFont f = fonts::font(fonts::mono(), 8);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.96);
    return f;
}

Sprite HardwareLabelRenderer::render(const QString &text, const Palette &palette, qreal devicePixelRatio)
{
    const QFont f = font();
    const QFontMetricsF metrics(f);
    const QSizeF size(std::ceil(metrics.horizontalAdvance(text)) + 2, std::ceil(metrics.height()) + 2);
    Sprite sprite{makeCanvas(size, devicePixelRatio), {-size.width() / 2, -size.height() / 2}};
    QPainter p(&sprite.image);
    prepare(p);
    p.setFont(f);
    const QRectF box(QPointF(0, 0), size);
    // A faint lit lower edge makes the lettering read as cut into the metal.
    p.setPen(QColor(255, 255, 255, 28));
    p.drawText(box.translated(0, 0.6), Qt::AlignCenter, text);
    p.setPen(palette.engraving);
    p.drawText(box, Qt::AlignCenter, text);
    return sprite;
}

const Sprite &HardwareLabelRenderer::sprite(const QString &text, qreal devicePixelRatio, const Palette &palette)
{
    return m_cache.get(Key{text, palette}, devicePixelRatio, [&] { return render(text, palette, devicePixelRatio); });
}

QString pitchLabelText(double pitch)
{
    // No "-0.0" or "+0.0" for a value that rounds to zero.
    const double shown = std::abs(pitch) < 0.05 ? 0.0 : pitch;
    const QString sign = shown > 0 ? QStringLiteral("+") : QString();
    return QStringLiteral("PITCH ") + sign + QString::number(shown, 'f', 1);
}

} // namespace velloran
