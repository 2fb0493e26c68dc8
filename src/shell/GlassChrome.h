#pragma once

#include <QPalette>
#include <QProxyStyle>

namespace velloran {

// The window's own chrome (menu bar, menus, tooltips) in the scene's dark glass: a dark,
// faintly lit pane with a hairline edge, light text, and a soft light band for the item
// under the pointer. Popups are drawn opaque, since a desktop without a compositor
// cannot show them see-through. Everything else is Fusion with the dark palette below.
class GlassChromeStyle : public QProxyStyle {
    Q_OBJECT

public:
    GlassChromeStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr, const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
};

// The palette every standard widget of the program draws with: dark glass, light text.
QPalette glassChromePalette();

// Gives the application the style, the palette, and the bundled sans for menus and
// tooltips. The fonts must be registered first.
void applyGlassChrome();

} // namespace velloran
