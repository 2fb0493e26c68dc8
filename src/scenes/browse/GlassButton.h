#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace velloran {

// The buttons of the browsing scenes, painted by the scene that holds them: a rounded plate
// with a title. The prominent one is a lit cream plate with dark ink, the others dark glass.
struct GlassButtonLook {
    bool prominent = false;
    bool enabled = true;
    bool hovered = false;
    bool pressed = false;
    bool operator==(const GlassButtonLook &) const = default;
};

// The size a button with this title takes.
QSizeF glassButtonSize(const QString &title);

// Draws the button filling `rect`; a disabled button is drawn at 60 % opacity.
void paintGlassButton(QPainter &painter, const QRectF &rect, const QString &title, const GlassButtonLook &look);

} // namespace velloran
