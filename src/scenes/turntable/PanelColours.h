#pragma once

#include <QColor>

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

} // namespace velloran::panel
