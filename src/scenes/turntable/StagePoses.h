#pragma once

#include "core/Clock.h"
#include "playback/DiscMove.h"
#include "playback/Turntable.h"

#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>

#include <optional>

namespace velloran {

// Where the current record's disc is drawn in one frame, and in which layer: under the
// sleeve (0, while it is still coming out of it) or over it with the deck's live parts (1).
struct StageDiscPose {
    double x = 810;
    double y = 490;
    double scale = 1;
    int layer = 1;
    double lift = 0;

    bool operator==(const StageDiscPose &) const = default;
};

// A disc move's pose, or the disc seated on the platter, or nothing to draw.
std::optional<StageDiscPose> stageDiscPose(const std::optional<DiscMove> &move, Turntable::Place place, Instant at);

// The record turning over: its angle about the vertical axis and its slight swell as it
// lifts off the platter to turn.
struct FlipPose {
    static constexpr double duration = 0.924;

    double angle = 0;
    double scale = 1;

    // `elapsed` seconds since the flip began, or none when nothing flips.
    static FlipPose at(std::optional<double> elapsed);
};

// The disc's shadow for a lift and a flip swell.
struct DiscShadow {
    double opacity = 0.45;
    double radius = 4;
    QPointF offset{2, 4};

    static DiscShadow of(double lift, double flipScale);
};

// The sleeve on the table in its four looks.
struct SleeveLook {
    double opacity = 1;
    double rotation = -6;
    QPointF offset{0, 0};

    static SleeveLook of(bool away, bool arriving, bool empty);
    static SleeveLook mix(const SleeveLook &from, const SleeveLook &to, double t);

    bool operator==(const SleeveLook &) const = default;
};

// The tonearm's drag handle: a 46 x 345 strip hanging from the pivot, turned with the arm.
namespace armdrag {
inline constexpr double width = 46;
inline constexpr double length = 345;
inline constexpr double minAngle = -6;
inline constexpr double maxAngle = 58;

// The arm angle for a pointer at a stage point: 0 straight below the pivot, positive with
// the tip swung left over the record.
double angle(QPointF stagePoint);

// The strip's outline in stage points for the arm at `arm` degrees.
QPolygonF area(double arm);
bool contains(QPointF stagePoint, double arm);
} // namespace armdrag

} // namespace velloran
