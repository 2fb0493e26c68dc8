#include "scenes/crate/CardPose.h"

#include <algorithm>

namespace velloran::crate {

CardPose CardPose::at(qsizetype offset)
{
    const double o = double(offset);
    if (offset == 0)
        return {4, 1, -46, 1, 60};
    if (offset > 0)
        return {6 + 0.4 * std::min(o, 8.0), 1 - 0.025 * o, -5 * std::min(o, 10.0) - 10, offset < 13 ? 1.0 : 0.0,
                int(50 - offset)};
    const double n = -o;
    return {2 * std::min(n, 6.0) - 80, 1 + 0.012 * n, 4 * std::min(n, 4.0) + 60, n <= 3 ? 1.0 : 0.0,
            int(100 + offset)};
}

CardPose CardPose::mix(const CardPose &from, const CardPose &to, double t)
{
    const auto lerp = [t](double a, double b) { return a + (b - a) * t; };
    return {lerp(from.tilt, to.tilt), lerp(from.scale, to.scale), lerp(from.dy, to.dy),
            std::clamp(lerp(from.opacity, to.opacity), 0.0, 1.0), to.z};
}

} // namespace velloran::crate
