#include "shell/GlassChrome.h"

#include "paint/Fonts.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>
#include <QToolTip>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

// The glass of the readout and the drawer (RGB 20, 22, 26 at 74 %) as it looks over the
// dark room, made opaque for popups; a lighter top edge; the hairline; the text.
const QColor pane(23, 24, 28);
const QColor paneTop(31, 32, 37);
const QColor bar(16, 16, 19);
const QColor hairline(255, 255, 255, 31);
const QColor separator(255, 255, 255, 22);
const QColor hover(255, 255, 255, 28);
const QColor bright(244, 242, 238);
const QColor dim(183, 188, 192);
const QColor disabled(112, 116, 122);

void paintPane(QPainter &painter, const QRect &rect)
{
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, paneTop);
    fill.setColorAt(std::min(1.0, 24.0 / std::max(1, rect.height())), pane);
    fill.setColorAt(1, pane);
    painter.fillRect(rect, fill);
    painter.setPen(QPen(hairline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5));
}

void paintHover(QPainter &painter, const QRectF &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath band;
    band.addRoundedRect(rect, 5, 5);
    painter.fillPath(band, hover);
    painter.restore();
}

} // namespace

GlassChromeStyle::GlassChromeStyle()
    : QProxyStyle(u"Fusion"_s)
{
}

void GlassChromeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                     const QWidget *widget) const
{
    switch (element) {
    case PE_PanelMenu:
    case PE_FrameMenu:
    case PE_PanelTipLabel:
        paintPane(*painter, option->rect);
        return;
    case PE_PanelMenuBar:
        painter->fillRect(option->rect, bar);
        painter->fillRect(QRect(option->rect.left(), option->rect.bottom(), option->rect.width(), 1), separator);
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void GlassChromeStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                   const QWidget *widget) const
{
    switch (element) {
    case CE_MenuBarEmptyArea:
        drawPrimitive(PE_PanelMenuBar, option, painter, widget);
        return;
    case CE_MenuBarItem:
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            drawPrimitive(PE_PanelMenuBar, option, painter, widget);
            const bool enabled = item->state & State_Enabled;
            const bool active = enabled && (item->state & (State_Selected | State_Sunken));
            if (active)
                paintHover(*painter, QRectF(item->rect).adjusted(1, 3, -1, -3));
            QPalette palette = item->palette;
            palette.setColor(QPalette::ButtonText, active ? bright : dim);
            proxy()->drawItemText(painter, item->rect,
                                  Qt::AlignCenter | Qt::TextShowMnemonic | Qt::TextDontClip | Qt::TextSingleLine,
                                  palette, enabled, item->text, QPalette::ButtonText);
            return;
        }
        break;
    case CE_MenuItem:
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            if (item->menuItemType == QStyleOptionMenuItem::Separator) {
                const int y = item->rect.center().y();
                painter->fillRect(QRect(item->rect.left() + 10, y, item->rect.width() - 20, 1), separator);
                return;
            }
            // The item under the pointer gets the light band; the text stays the palette's.
            QStyleOptionMenuItem plain = *item;
            if ((item->state & State_Selected) && (item->state & State_Enabled))
                paintHover(*painter, QRectF(item->rect).adjusted(4, 1, -4, -1));
            plain.state &= ~State_Selected;
            QProxyStyle::drawControl(element, &plain, painter, widget);
            return;
        }
        break;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

int GlassChromeStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
        return 4;
    case PM_ToolTipLabelFrameWidth:
        return 6;
    case PM_MenuBarVMargin:
        return 2;
    case PM_MenuBarItemSpacing:
        return 2;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int GlassChromeStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                                QStyleHintReturn *returnData) const
{
    switch (hint) {
    case SH_ToolTipLabel_Opacity:
        return 255;
    case SH_Menu_Scrollable:
        return true;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

QPalette glassChromePalette()
{
    QPalette palette;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, bar);
        palette.setColor(group, QPalette::WindowText, bright);
        palette.setColor(group, QPalette::Base, pane);
        palette.setColor(group, QPalette::AlternateBase, paneTop);
        palette.setColor(group, QPalette::Text, bright);
        palette.setColor(group, QPalette::Button, paneTop);
        palette.setColor(group, QPalette::ButtonText, bright);
        palette.setColor(group, QPalette::BrightText, Qt::white);
        palette.setColor(group, QPalette::Highlight, QColor(62, 63, 68));
        palette.setColor(group, QPalette::HighlightedText, bright);
        palette.setColor(group, QPalette::ToolTipBase, pane);
        palette.setColor(group, QPalette::ToolTipText, bright);
        palette.setColor(group, QPalette::PlaceholderText, dim);
        palette.setColor(group, QPalette::Link, QColor(255, 138, 76));
        palette.setColor(group, QPalette::Light, QColor(60, 61, 66));
        palette.setColor(group, QPalette::Midlight, QColor(44, 45, 50));
        palette.setColor(group, QPalette::Mid, QColor(36, 37, 41));
        palette.setColor(group, QPalette::Dark, QColor(12, 12, 14));
        palette.setColor(group, QPalette::Shadow, Qt::black);
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, bar);
    palette.setColor(QPalette::Disabled, QPalette::Base, pane);
    palette.setColor(QPalette::Disabled, QPalette::Button, paneTop);
    palette.setColor(QPalette::Disabled, QPalette::ToolTipBase, pane);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                           QPalette::HighlightedText, QPalette::ToolTipText})
        palette.setColor(QPalette::Disabled, role, disabled);
    return palette;
}

void applyGlassChrome()
{
    QApplication::setStyle(new GlassChromeStyle);
    const QPalette palette = glassChromePalette();
    QApplication::setPalette(palette);
    QToolTip::setPalette(palette);
    const QFont menus = fonts::font(fonts::sans(), 13);
    QApplication::setFont(menus, "QMenuBar");
    QApplication::setFont(menus, "QMenu");
    QToolTip::setFont(fonts::font(fonts::sans(), 12));
}

} // namespace velloran
