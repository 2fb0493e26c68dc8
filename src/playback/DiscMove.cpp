#include "playback/DiscMove.h"

#include "playback/StageGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velloran {

namespace {

double smooth(double u)
{
    return u * u * (3 - 2 * u);
}

double computeLandingFraction(DiscMove::Kind kind)
{
    for (int i = 0; i <= 400; ++i) {
        const double t = i / 400.0;
        const bool over = DiscMove::pose(kind, t).overPlatter;
        if (kind == DiscMove::Kind::out ? over : !over)
            return t;
    }
    return kind == DiscMove::Kind::out ? 0.4 : 0.7;
}

} // namespace

DiscPose DiscMove::pose(Kind kind, double progress)
{
    const double p = std::clamp(progress, 0.0, 1.0);
    double e = p < 0.5 ? 4 * p * p * p : 1 - std::pow(2 - 2 * p, 3) / 2;
    if (kind == Kind::in)
        e = 1 - e;
    const double b0 = std::pow(1 - e, 3);
    const double b1 = 3 * e * std::pow(1 - e, 2);
    const double b2 = 3 * e * e * (1 - e);
    const double b3 = e * e * e;
    const double x = stage::sleeveCentre.x() * b0 + 440 * b1 + 690 * b2 + stage::platterCentre.x() * b3;
    const double y = stage::sleeveCentre.y() * b0 + 472 * b1 + 430 * b2 + stage::platterCentre.y() * b3;
    const double lift = std::sin(smooth(std::clamp((x - 600) / 210, 0.0, 1.0)) * std::numbers::pi);
    const double scale = 0.74 + 0.26 * smooth(std::clamp((x - 600) / 190, 0.0, 1.0)) + 0.05 * lift;
    return {x, y, scale, x - stage::discRadius * scale >= 462, lift};
}

DiscPose DiscMove::pose(Instant at) const
{
    return pose(kind, duration > 0 ? secondsBetween(start, at) / duration : 1.0);
}

double landingFraction(DiscMove::Kind kind)
{
    static const double out = computeLandingFraction(DiscMove::Kind::out);
    static const double in = computeLandingFraction(DiscMove::Kind::in);
    return kind == DiscMove::Kind::out ? out : in;
}

} // namespace velloran
