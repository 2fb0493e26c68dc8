#include "paint/TimingCurves.h"

#include <gtest/gtest.h>

using namespace velloran;

TEST(TimingCurves, StandardCurvesRunFromZeroToOneWithTheirShape)
{
    const QEasingCurve inOut = timing::easeInOut();
    const QEasingCurve in = timing::easeIn();
    const QEasingCurve out = timing::easeOut();
    for (const QEasingCurve *curve : {&inOut, &in, &out}) {
        EXPECT_NEAR(curve->valueForProgress(0.0), 0.0, 1e-6);
        EXPECT_NEAR(curve->valueForProgress(1.0), 1.0, 1e-6);
        double previous = 0.0;
        for (double t = 0.05; t <= 1.0; t += 0.05) {
            EXPECT_GE(curve->valueForProgress(t), previous - 1e-9);
            previous = curve->valueForProgress(t);
        }
    }
    EXPECT_NEAR(inOut.valueForProgress(0.5), 0.5, 1e-3);
    EXPECT_LT(inOut.valueForProgress(0.2), 0.2);
    EXPECT_GT(inOut.valueForProgress(0.8), 0.8);
    EXPECT_LT(in.valueForProgress(0.5), 0.4);
    EXPECT_GT(out.valueForProgress(0.5), 0.6);
}
