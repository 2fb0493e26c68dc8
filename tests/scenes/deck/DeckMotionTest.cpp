#include "scenes/deck/DeckGeometry.h"
#include "scenes/deck/DeckMotion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <numbers>

using namespace velloran;

namespace {

constexpr double rpm33 = 33.333333333333336;
constexpr double frame = 1.0 / 60.0;

DeckInputs tracking(double armTarget)
{
    DeckInputs inputs;
    inputs.motor = true;
    inputs.targetRPM = rpm33;
    inputs.rest = false;
    inputs.armTarget = armTarget;
    return inputs;
}

DeckInputs parked()
{
    return {};
}

} // namespace

TEST(DeckMotion, FirstStepSnapsToTheTargetsWithoutTurningThePlatter)
{
    DeckMotion motion;
    motion.step(5.0, tracking(30.0));
    EXPECT_EQ(motion.rpm(), rpm33);
    EXPECT_EQ(motion.arm(), 30.0);
    EXPECT_EQ(motion.lift(), 0.0);
    EXPECT_EQ(motion.rotation(), 0.0);
    EXPECT_TRUE(motion.isMoving());
    EXPECT_FALSE(motion.needsSnap());

    DeckMotion still;
    still.step(5.0, parked());
    EXPECT_EQ(still.arm(), DeckMotion::restAngle);
    EXPECT_FALSE(still.isMoving());

    DeckMotion dragged;
    DeckInputs drag = parked();
    drag.drag = 12.5;
    dragged.step(5.0, drag);
    EXPECT_EQ(dragged.arm(), 12.5);
    EXPECT_EQ(dragged.lift(), 1.0);
}

TEST(DeckMotion, LongOrBackwardFrameDelaysAdvanceAtMostTheCap)
{
    DeckMotion motion;
    motion.step(0.0, tracking(30.0));
    motion.step(2.0, tracking(30.0));
    EXPECT_NEAR(motion.rotation(), 0.05 * rpm33 * 6.0, 1e-9);

    const double before = motion.rotation();
    motion.step(1.0, tracking(30.0));
    EXPECT_DOUBLE_EQ(motion.rotation(), before) << "a backwards clock must not move the platter";
    motion.step(1.0 + frame, tracking(30.0));
    EXPECT_NEAR(motion.rotation(), before + frame * rpm33 * 6.0, 1e-9) << "time is measured from the last step";
}

TEST(DeckMotion, ArmLowersOntoTheGrooveOnlyAbove92PercentOfTheSpeed)
{
    DeckMotion motion;
    motion.step(0.0, parked());
    const DeckInputs play = tracking(armAngle(200));
    bool arrived = false;
    bool lowered = false;
    double previousLift = motion.lift();
    double t = 0.0;
    for (int i = 0; i < 60 * 20; ++i) {
        t += frame;
        const double rpmBefore = motion.rpm();
        motion.step(t, play);
        arrived = arrived || std::abs(motion.arm() - play.armTarget) <= 0.3;
        if (arrived && motion.lift() < previousLift && !lowered) {
            lowered = true;
            // The decision is taken on this frame's speed, after spinning up.
            EXPECT_GT(motion.rpm(), 0.92 * rpm33);
            EXPECT_LE(rpmBefore, motion.rpm());
        }
        if (motion.rpm() <= 0.92 * rpm33) {
            EXPECT_TRUE(motion.lift() >= previousLift || !arrived) << "lowered at " << motion.rpm() << " rpm";
        }
        previousLift = motion.lift();
    }
    EXPECT_TRUE(lowered);
    EXPECT_EQ(motion.lift(), 0.0);
    EXPECT_EQ(motion.rpm(), rpm33);
    EXPECT_NEAR(motion.arm(), play.armTarget, DeckMotion::wobble + 1e-9) << "tracking with the wobble";
    EXPECT_TRUE(motion.isMoving()) << "a spinning platter keeps the frame loop running";
}

TEST(DeckMotion, ArmTravelsRaisedAtABoundedSpeedWithoutOvershoot)
{
    DeckMotion motion;
    motion.step(0.0, parked());
    const DeckInputs play = tracking(45.0);
    double t = 0.0;
    double previousArm = motion.arm();
    for (int i = 0; i < 60 * 10; ++i) {
        t += frame;
        motion.step(t, play);
        const double moved = motion.arm() - previousArm;
        if (motion.lift() <= DeckMotion::raisedLift && std::abs(play.armTarget - previousArm) > 0.3) {
            EXPECT_EQ(moved, 0.0) << "the arm waits until it is raised";
        }
        EXPECT_LE(moved, DeckMotion::maxArmSpeed * frame + 1e-9);
        EXPECT_LE(motion.arm(), play.armTarget + DeckMotion::wobble + 1e-9);
        previousArm = motion.arm();
    }
    EXPECT_NEAR(motion.arm(), 45.0, DeckMotion::wobble + 1e-9);
}

TEST(DeckMotion, DragRaisesTheArmWithin200msAndHoldsTheExactAngle)
{
    DeckMotion motion;
    motion.step(0.0, tracking(30.0));
    DeckInputs drag = tracking(30.0);
    double t = 0.0;
    for (const double angle : {31.0, 33.5, 36.0, 40.25, 44.0, 50.0, 52.0, 53.0, 54.0, 55.0, 56.0, 57.0}) {
        drag.drag = angle;
        t += frame;
        motion.step(t, drag);
        EXPECT_EQ(motion.arm(), angle);
        EXPECT_TRUE(motion.isMoving());
    }
    EXPECT_GE(t, 0.2 - 1e-9);
    EXPECT_EQ(motion.lift(), 1.0);
}

TEST(DeckMotion, CoastsToAStopAndThenReportsRest)
{
    DeckMotion motion;
    motion.step(0.0, tracking(30.0));
    DeckInputs stop = parked();
    double t = 0.0;
    double previousRpm = motion.rpm();
    int frames = 0;
    while (motion.isMoving() && frames < 60 * 60) {
        t += frame;
        motion.step(t, stop);
        EXPECT_LE(motion.rpm(), previousRpm);
        previousRpm = motion.rpm();
        ++frames;
    }
    EXPECT_FALSE(motion.isMoving());
    EXPECT_EQ(motion.rpm(), 0.0);
    EXPECT_EQ(motion.arm(), DeckMotion::restAngle);
    EXPECT_EQ(motion.lift(), 0.0);
    // Spin-down at 0.8 /s from 33 1/3 to within 0.02 rpm takes about 9.3 s.
    EXPECT_NEAR(t, std::log(rpm33 / 0.02) / 0.8, 0.5);
}

TEST(DeckMotion, ArmAngleForGrooveRadius)
{
    struct Case {
        double radius;
        double angle;
    };
    for (const Case c : {Case{200, 28.0}, Case{143, 38.4}, Case{86, 48.6}, Case{0, 60.0}, Case{20, 60.0},
                         Case{1000, 0.0}, Case{360, 0.0}}) {
        EXPECT_NEAR(armAngle(c.radius), c.angle, 0.05) << "radius " << c.radius;
    }
    // The stylus really sits on the groove it was asked for.
    const double theta = armAngle(143) * std::numbers::pi / 180.0;
    const QPointF stylus(deck::tonearmPivot.x() - deck::armLength * std::sin(theta),
                         deck::tonearmPivot.y() + deck::armLength * std::cos(theta));
    EXPECT_NEAR(std::hypot(stylus.x() - deck::platterCentre.x(), stylus.y() - deck::platterCentre.y()), 143, 1e-6);
    EXPECT_EQ(deck::grooveRadius(0.5), 143.0);
}

namespace {
bool countAllocations = false;
int allocations = 0;
} // namespace

void *operator new(std::size_t size)
{
    if (countAllocations)
        ++allocations;
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }

TEST(DeckMotion, StepAllocatesNothing)
{
    DeckMotion motion;
    DeckInputs drag = tracking(30.0);
    drag.drag = 20.0;
    countAllocations = true;
    double t = 0.0;
    for (int i = 0; i < 600; ++i) {
        t += frame;
        motion.step(t, i % 200 < 100 ? tracking(armAngle(200 - 0.1 * i)) : i % 200 < 150 ? drag : parked());
    }
    countAllocations = false;
    EXPECT_EQ(allocations, 0);
}
