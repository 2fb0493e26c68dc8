#include "scenes/browse/GlassButton.h"

#include "paint/Fonts.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <cmath>

namespace velloran {

namespace {

constexpr double paddingX = 18;
constexpr double height = 34;
constexpr double radius = 9;

QFont titleFont()
{
    return fonts::font(fonts::sans(), 14, QFont::Medium);
}

} // namespace

QSizeF glassButtonSize(const QString &title)
{
    const QFontMetricsF metrics(titleFont());
    return {std::ceil(metrics.horizontalAdvance(title)) + 2 * paddingX, height};
}

void paintGlassButton(QPainter &painter, const QRectF &rect, const QString &title, const GlassButtonLook &look)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (!look.enabled)
        painter.setOpacity(painter.opacity() * 0.6);
    const QRectF plate = look.pressed && look.enabled
        ? QRectF(rect.center() - QPointF(rect.width(), rect.height()) * 0.485, rect.size() * 0.97)
        : rect;
    const bool lit = look.enabled && (look.hovered || look.pressed);
    QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
    if (look.prominent) {
        const QColor top = lit ? QColor(255, 252, 246) : QColor(246, 242, 234);
        fill.setColorAt(0, top);
        fill.setColorAt(1, top.darker(look.pressed ? 112 : 106));
    } else {
        fill.setColorAt(0, QColor(255, 255, 255, lit ? 46 : 30));
        fill.setColorAt(1, QColor(255, 255, 255, lit ? 30 : 18));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(plate, radius, radius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(look.prominent ? QColor(255, 255, 255, 120) : QColor(255, 255, 255, 36), 1));
    painter.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);

    painter.setFont(titleFont());
    painter.setPen(look.prominent ? QColor(24, 20, 16) : QColor(244, 242, 238));
    painter.drawText(plate, Qt::AlignCenter, title);
    painter.restore();
}

} // namespace velloran
