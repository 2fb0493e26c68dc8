#pragma once

#include <optional>

namespace velloran::crate {

// Turns a stream of small scroll deltas (a trackpad's, a fine wheel's) into whole steps: the
// deltas are gathered, and a step is given when more than 24 points have gathered and more
// than 0.07 s have passed since the last step. The step's value is the gathered distance,
// negated, so that scrolling down moves forwards.
class ScrollGathering {
public:
    static constexpr double threshold = 24;
    static constexpr double interval = 0.07;

    // `now` in seconds on any steady clock.
    std::optional<double> add(double delta, double now);

    double gathered() const { return m_gathered; }

private:
    double m_gathered = 0;
    std::optional<double> m_last;
};

// A mouse wheel reports turns in eighths of a degree, 120 to a notch; one notch counts as
// this many points, a little more than one step's worth.
inline constexpr double pointsPerWheelEighth = 1.0 / 3.0;

} // namespace velloran::crate
