#include "paint/SoftShadow.h"

#include <QPainterPath>

#include <gtest/gtest.h>

#include <cmath>

using namespace velloran;

namespace {

// The alpha of a sprite at a point of the thing it belongs to.
int alphaAt(const Sprite &sprite, QPointF point)
{
    const qreal dpr = sprite.image.devicePixelRatio();
    const QPointF local = (point - sprite.origin) * dpr;
    return qAlpha(sprite.image.pixel(int(std::floor(local.x())), int(std::floor(local.y()))));
}

} // namespace

TEST(SoftShadow, SpreadsTheSilhouetteByItsRadiusAtAnyPixelRatio)
{
    QPainterPath square;
    square.addRect(0, 0, 100, 100);
    for (const qreal dpr : {1.0, 2.0}) {
        for (const qreal radius : {4.0, 30.0}) {
            const Sprite shadow = softShadow(square, radius, QColor(0, 0, 0, 128), {10, 5}, dpr);
            EXPECT_EQ(shadow.image.devicePixelRatio(), dpr);
            // The whole blur fits in the sprite: its border is clear.
            EXPECT_EQ(qAlpha(shadow.image.pixel(0, shadow.image.height() / 2)), 0);
            EXPECT_EQ(qAlpha(shadow.image.pixel(shadow.image.width() - 1, shadow.image.height() / 2)), 0);
            // Deep inside, the shadow has the colour's full opacity; on the offset edge half.
            EXPECT_NEAR(alphaAt(shadow, {60, 55}), 128, 3) << dpr << " " << radius;
            EXPECT_NEAR((alphaAt(shadow, {109.9, 55}) + alphaAt(shadow, {110.1, 55})) / 2.0, 64, 6)
                << dpr << " " << radius;
            // A Gaussian of sigma radius / 2 has fallen to about 2 % two sigmas out.
            EXPECT_NEAR(alphaAt(shadow, {110 + radius, 55}), 128 * 0.023, 4) << dpr << " " << radius;
        }
    }
}

TEST(SoftShadow, BlurKeepsTheTotalAlpha)
{
    QImage plane(80, 80, QImage::Format_Alpha8);
    plane.fill(0);
    for (int y = 35; y < 45; ++y)
        for (int x = 35; x < 45; ++x)
            plane.scanLine(y)[x] = 200;
    const auto total = [](const QImage &image) {
        long sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += image.constScanLine(y)[x];
        return sum;
    };
    const long before = total(plane);
    blurAlpha(plane, 4.0);
    EXPECT_NEAR(double(total(plane)), double(before), before * 0.01);
    EXPECT_LT(plane.constScanLine(40)[40], 200);
    EXPECT_GT(plane.constScanLine(40)[30], 0);
}
