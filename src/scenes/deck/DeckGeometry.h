#pragma once

#include "playback/StageGeometry.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace velloran::deck {

// The tabletop's fixed points, shared with the deck model.
using stage::armLength;
using stage::discDiameter;
using stage::discRadius;
using stage::grooveRadius;
using stage::grooveSpan;
using stage::grooveStartRadius;
using stage::platterCentre;
using stage::stageSize;
using stage::tonearmPivot;

} // namespace velloran::deck

namespace velloran::deck {

// The deck's base on the table, and the dark top panel on it that carries the platter.
inline constexpr QRectF plinthRect{456.0, 208.0, 796.0, 584.0};
inline constexpr double plinthCornerRadius = 20.0;
inline constexpr QRectF deckTopRect{813.0 - 330.0, 495.0 - 265.0, 660.0, 530.0};
inline constexpr double platterDiameter = 452.0;

} // namespace velloran::deck

namespace velloran::deck {

// A frame of the given size centred on a point.
constexpr QRectF centredFrame(QPointF centre, QSizeF size)
{
    return {centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height()};
}

// Where the deck's controls sit on the stage.
inline constexpr QRectF powerButtonFrame = centredFrame({606, 745}, {48, 48});
inline constexpr QRectF powerLampFrame = centredFrame({644, 745}, {8, 8});
inline constexpr QRectF startStopFrame = centredFrame({721, 744}, {118, 36});
inline constexpr QRectF lamp33Frame = centredFrame({819, 724}, {6, 6});
inline constexpr QRectF button33Frame = centredFrame({819, 745}, {46, 30});
inline constexpr QRectF lamp45Frame = centredFrame({875, 724}, {6, 6});
inline constexpr QRectF button45Frame = centredFrame({875, 745}, {46, 30});
inline constexpr QRectF cueLeverFrame = centredFrame({1168, 436}, {36, 88});
inline constexpr QRectF pitchFaderFrame = centredFrame({1186, 620}, {40, 160});
inline constexpr QPointF pitchLabelCentre{1176, 710};
inline constexpr QRectF targetLightFrame = centredFrame({1075, 689}, {26, 26});
inline constexpr QPointF targetGlowCentre{1000, 620};

// The tonearm's base plate, and the anti-skate knob with its label on the plinth to the
// right of it: out of the counterweight's sweep over the arm's whole travel (-6 to 58
// degrees) and clear of the plate.
inline constexpr QRectF tonearmBasePlateFrame = centredFrame({1113, 345}, {88, 88});
inline constexpr QRectF antiSkateKnobFrame = centredFrame({1214, 300}, {34, 34});
inline constexpr QPointF antiSkateLabelCentre{1214, 332};

} // namespace velloran::deck
