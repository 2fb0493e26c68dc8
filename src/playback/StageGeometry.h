#pragma once

#include <QPointF>
#include <QSizeF>

#include <algorithm>

// The tabletop's fixed points, in points of the 1600 x 1000 stage (y downwards). The deck
// model computes with them (where the stylus lands, where a disc travels) and the scenes
// draw at them, so they are written once, here.
namespace velloran::stage {

inline constexpr QSizeF stageSize{1600.0, 1000.0};
inline constexpr QPointF sleeveCentre{285.0, 470.0};
inline constexpr QPointF platterCentre{810.0, 490.0};
inline constexpr QPointF tonearmPivot{1110.0, 340.0};
inline constexpr double armLength = 320.0;
inline constexpr double discRadius = 210.0;
inline constexpr double discDiameter = 2.0 * discRadius;

// Play progress maps onto groove radii from the lead-in to the run-out.
inline constexpr double grooveStartRadius = 200.0;
inline constexpr double grooveSpan = 114.0;

// A stylus set down between these radii lands on the grooves; outside them it misses the
// record (or rides the label) and the arm goes back to its rest.
inline constexpr double grooveInnerLimit = 86.0;
inline constexpr double grooveOuterLimit = 204.0;

// The groove radius of a point of the side, as a fraction of its duration.
constexpr double grooveRadius(double fraction)
{
    return grooveStartRadius - grooveSpan * std::clamp(fraction, 0.0, 1.0);
}

// The fraction of the side at a groove radius; radii outside the grooves clamp to an end.
constexpr double sideFraction(double radius)
{
    return std::clamp((grooveStartRadius - std::min(radius, grooveStartRadius)) / grooveSpan, 0.0, 1.0);
}

} // namespace velloran::stage
