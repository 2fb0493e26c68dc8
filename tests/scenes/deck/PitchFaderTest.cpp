#include "scenes/deck/HardwareLabel.h"
#include "scenes/deck/PitchFader.h"
#include "scenes/deck/PowerKnob.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velloran;

TEST(PitchFaderDrag, DragTable)
{
    struct Case {
        double start;
        double translation;
        double pitch;
    };
    for (const Case c : {Case{0, 8.5, 1.0}, Case{0, 3, 0.0}, Case{0, 4, 0.5}, Case{0, -4, -0.5}, Case{0, -8.5, -1.0},
                         Case{0, 1000, 8.0}, Case{0, -1000, -8.0}, Case{7.5, 17, 8.0}, Case{2.0, -17, 0.0},
                         Case{2.0, -13.4, 0.4}, Case{-3.0, 0, -3.0}}) {
        PitchFaderDrag drag;
        EXPECT_DOUBLE_EQ(drag.change(c.start, c.translation), c.pitch)
            << "from " << c.start << " by " << c.translation << " points";
    }
}

TEST(PitchFaderDrag, ADragMovesFromItsStartAndASecondDragFromTheCurrentValue)
{
    PitchFaderDrag drag;
    double pitch = 0.0;
    // The view reports the pitch it shows with every change; the drag still counts from
    // where it began.
    for (const double y : {2.0, 5.0, 8.5, 12.75, 17.0})
        pitch = drag.change(pitch, y);
    EXPECT_DOUBLE_EQ(pitch, 2.0);
    drag.end();
    EXPECT_FALSE(drag.isDragging());

    pitch = drag.change(pitch, 8.5);
    EXPECT_DOUBLE_EQ(pitch, 3.0);
    drag.end();
    EXPECT_DOUBLE_EQ(PitchFaderDrag::reset(), 0.0);
}

TEST(PitchFaderDrag, NeverWritesOutsideTheRangeOrBeyondOneDecimal)
{
    for (double start = -8; start <= 8; start += 2.3) {
        for (double y = -200; y <= 200; y += 0.37) {
            const double pitch = PitchFaderDrag::pitchFor(start, y);
            ASSERT_LE(std::abs(pitch), 8.0);
            ASSERT_NEAR(pitch * 10, std::round(pitch * 10), 1e-9) << pitch;
            ASSERT_TRUE(pitch == 0.0 || std::abs(pitch) >= 0.4) << pitch;
        }
    }
    EXPECT_EQ(PitchFaderRenderer::knobTop(0), 68.0);
    EXPECT_EQ(PitchFaderRenderer::knobTop(3.5), 68.0 + 8.5 * 3.5);
}

TEST(HardwareLabel, PitchTextCarriesASignOnlyWhenPositive)
{
    EXPECT_EQ(pitchLabelText(2.5), QStringLiteral("PITCH +2.5"));
    EXPECT_EQ(pitchLabelText(0.0), QStringLiteral("PITCH 0.0"));
    EXPECT_EQ(pitchLabelText(-0.0), QStringLiteral("PITCH 0.0"));
    EXPECT_EQ(pitchLabelText(-3.0), QStringLiteral("PITCH -3.0"));
    EXPECT_EQ(pitchLabelText(8.0), QStringLiteral("PITCH +8.0"));
}

TEST(PowerKnobMotion, TurnsTo60WithASlightOvershootAndBack)
{
    PowerKnobMotion knob;
    EXPECT_EQ(knob.angle(), 0.0);
    EXPECT_FALSE(knob.isMoving());
    knob.setPower(true);
    double peak = 0.0;
    for (int i = 0; i < 120; ++i) {
        knob.advance(1.0 / 60);
        peak = std::max(peak, knob.angle());
    }
    EXPECT_GT(peak, 61.0);
    EXPECT_LT(peak, 75.0);
    EXPECT_NEAR(knob.angle(), 60.0, 0.01);
    EXPECT_FALSE(knob.isMoving());
    knob.setPower(false);
    EXPECT_TRUE(knob.isMoving());
    for (int i = 0; i < 120; ++i)
        knob.advance(1.0 / 60);
    EXPECT_NEAR(knob.angle(), 0.0, 0.01);
}
