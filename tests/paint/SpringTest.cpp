#include "paint/Spring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace velloran;

namespace {

struct SpringRun {
    double peak = 0.0;
    double final = 0.0;
    double settledAt = -1.0;
};

SpringRun run(double response, double damping, double seconds, double frame)
{
    DampedSpring spring(response, damping);
    spring.setTarget(1.0);
    SpringRun result;
    for (double t = frame; t <= seconds + 1e-9; t += frame) {
        spring.advance(frame);
        result.peak = std::max(result.peak, spring.value());
        if (result.settledAt < 0 && spring.isSettled(1e-3))
            result.settledAt = t;
    }
    result.final = spring.value();
    return result;
}

} // namespace

TEST(DampedSpring, OvershootFollowsTheDampingFraction)
{
    struct Case {
        double damping;
        double overshoot;
    };
    // An underdamped spring overshoots by exp(-zeta pi / sqrt(1 - zeta^2)); damped at 1 or
    // more it never passes the target.
    for (const Case c : {Case{0.55, std::exp(-0.55 * std::numbers::pi / std::sqrt(1 - 0.55 * 0.55))},
                         Case{0.9, std::exp(-0.9 * std::numbers::pi / std::sqrt(1 - 0.81))}, Case{1.0, 0.0}, Case{1.6, 0.0}}) {
        const SpringRun r = run(0.35, c.damping, 3.0, 1.0 / 240);
        EXPECT_NEAR(r.peak - 1.0, c.overshoot, 0.01) << "damping " << c.damping;
        EXPECT_NEAR(r.final, 1.0, 1e-4);
        EXPECT_GT(r.settledAt, 0.0);
    }
}

TEST(DampedSpring, ResultDoesNotDependOnTheFrameRate)
{
    for (const double damping : {0.55, 1.0, 1.3}) {
        DampedSpring fine(0.45, damping);
        DampedSpring coarse(0.45, damping);
        fine.setTarget(10.0);
        coarse.setTarget(10.0);
        for (int i = 0; i < 120; ++i)
            fine.advance(1.0 / 120);
        for (int i = 0; i < 20; ++i)
            coarse.advance(1.0 / 20);
        EXPECT_NEAR(fine.value(), coarse.value(), 1e-9);
        EXPECT_NEAR(fine.velocity(), coarse.velocity(), 1e-9);
    }
}

TEST(DampedSpring, RetargetingMidFlightKeepsTheVelocity)
{
    DampedSpring spring(0.35, 0.55);
    spring.setTarget(60.0);
    for (int i = 0; i < 6; ++i)
        spring.advance(1.0 / 60);
    const double value = spring.value();
    const double velocity = spring.velocity();
    ASSERT_GT(velocity, 0.0);
    spring.setTarget(0.0);
    spring.advance(1e-4);
    EXPECT_NEAR(spring.value(), value + velocity * 1e-4, 1e-3) << "no jump when the target changes";
    spring.advance(-1.0);
    spring.advance(0.0);
    EXPECT_NEAR(spring.value(), value + velocity * 1e-4, 1e-3) << "no time, no motion";
    spring.snapTo(5.0);
    EXPECT_TRUE(spring.isSettled());
    EXPECT_EQ(spring.value(), 5.0);
}
