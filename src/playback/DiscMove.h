#pragma once

#include "core/Clock.h"

namespace velloran {

// Where a moving disc is at one instant, in stage points.
struct DiscPose {
    double x = 0;
    double y = 0;
    double scale = 1;
    bool overPlatter = false;
    double lift = 0;
};

// A disc travelling between its sleeve (out of it onto the platter, or back in).
struct DiscMove {
    enum class Kind { out, in };

    Kind kind = Kind::out;
    Instant start{};
    double duration = 1;

    Instant end() const { return addSeconds(start, duration); }
    DiscPose pose(Instant at) const;
    static DiscPose pose(Kind kind, double progress);

    bool operator==(const DiscMove &) const = default;
};

// The fraction of a move at which the disc crosses onto (out) or off (in) the platter.
double landingFraction(DiscMove::Kind kind);

} // namespace velloran
