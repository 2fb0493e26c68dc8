#pragma once

#include <QColor>
#include <QString>

namespace velloran::panel {

// The colours of the glass overlays over the table (readout, drawer tab, drawer), in the
// dark scheme they always use.
inline QColor glass()
{
    return {20, 22, 26, qRound(255 * 0.74)};
}
inline QColor hairline()
{
    return {255, 255, 255, qRound(255 * 0.12)};
}
inline QColor bright()
{
    return {244, 242, 238};
}
inline QColor dim()
{
    return {183, 188, 192};
}
inline QColor faint()
{
    return {128, 132, 138};
}
// The deck's lamp orange, for what is live in the drawer.
inline QColor ember()
{
    return {255, 138, 76};
}
inline QColor cream()
{
    return {243, 230, 214};
}
inline QColor ink()
{
    return {28, 15, 7};
}
// The ember at a given opacity (0 to 255), for tints and outlines of what is live.
inline QColor ember(int alpha)
{
    QColor colour = ember();
    colour.setAlpha(alpha);
    return colour;
}

// The drawer's panel: its base behind the widgets, the smoked glass from top to bottom,
// and the hairline of its edge.
inline QColor drawerBase()
{
    return {24, 24, 28};
}
inline QColor drawerGlassTop()
{
    return {34, 30, 30};
}
inline QColor drawerGlassBottom()
{
    return {20, 20, 24};
}
inline QColor drawerEdge()
{
    return {255, 255, 255, 30};
}

// The style of the library's loading bar: a faint track and an ember chunk.
inline QString progressStyle()
{
    return QStringLiteral("QProgressBar { background: rgba(255,255,255,20); border: none; border-radius: 2px; }"
                          "QProgressBar::chunk { background: rgb(255,138,76); border-radius: 2px; }");
}
// The dot that marks the entry on the deck.
inline QString onDeckDotStyle()
{
    return QStringLiteral("background: rgb(255,138,76); border-radius: 3px;");
}

} // namespace velloran::panel
