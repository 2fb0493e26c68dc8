#include "scenes/turntable/StagePoses.h"

#include "scenes/deck/DeckGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velloran {

std::optional<StageDiscPose> stageDiscPose(const std::optional<DiscMove> &move, Turntable::Place place, Instant at)
{
    if (move) {
        const DiscPose pose = move->pose(at);
        return StageDiscPose{pose.x, pose.y, pose.scale, pose.overPlatter ? 1 : 0, pose.lift};
    }
    if (place == Turntable::Place::platter)
        return StageDiscPose{};
    return std::nullopt;
}

FlipPose FlipPose::at(std::optional<double> elapsed)
{
    if (!elapsed)
        return {};
    const double f = std::clamp(*elapsed / duration, 0.0, 1.0);
    const double angle = f < 0.5 ? 180 * f : 180 * (f - 0.5) - 90;
    return {angle, 1 + 0.07 * std::sin(std::numbers::pi * f)};
}

DiscShadow DiscShadow::of(double lift, double flipScale)
{
    return {0.45 - 0.1 * lift, 4 + 10 * lift + 140 * (flipScale - 1), {2 + 24 * lift, 4 + 38 * lift}};
}

SleeveLook SleeveLook::of(bool away, bool arriving, bool empty)
{
    if (away)
        return {0, 10, {-160, 380}};
    const SleeveLook resting = empty ? SleeveLook{1, -9, {-12, 6}} : SleeveLook{};
    if (arriving)
        return {0, resting.rotation, resting.offset};
    return resting;
}

SleeveLook SleeveLook::mix(const SleeveLook &from, const SleeveLook &to, double t)
{
    const auto lerp = [t](double a, double b) { return a + (b - a) * t; };
    return {lerp(from.opacity, to.opacity), lerp(from.rotation, to.rotation),
            {lerp(from.offset.x(), to.offset.x()), lerp(from.offset.y(), to.offset.y())}};
}

namespace armdrag {

double angle(QPointF p)
{
    const QPointF pivot = deck::tonearmPivot;
    const double degrees = std::atan2(-(p.x() - pivot.x()), p.y() - pivot.y()) * 180 / std::numbers::pi;
    return std::clamp(degrees, minAngle, maxAngle);
}

QPolygonF area(double arm)
{
    QTransform turn;
    turn.translate(deck::tonearmPivot.x(), deck::tonearmPivot.y());
    turn.rotate(arm);
    return turn.map(QPolygonF(QRectF(-width / 2, 0, width, length)));
}

bool contains(QPointF p, double arm)
{
    return area(arm).containsPoint(p, Qt::OddEvenFill);
}

} // namespace armdrag

} // namespace velloran
