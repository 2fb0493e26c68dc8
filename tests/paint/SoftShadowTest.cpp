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

// The blur's fast loops against the plain definition: each box pass is the rounded mean of
// the 2r + 1 samples around a pixel, those past the edge counting as 0. Sizes cover row counts
// that are not a multiple of four, boxes wider than the image and single-pixel planes.
TEST(SoftShadow, BlurMatchesPlainBoxPassesExactly)
{
    const auto plainPass = [](QImage &plane, int r, bool alongRows) {
        const QImage source = plane.copy();
        const int w = plane.width();
        const int h = plane.height();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int d = -r; d <= r; ++d) {
                    const int sx = alongRows ? x + d : x;
                    const int sy = alongRows ? y : y + d;
                    if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                        sum += source.constScanLine(sy)[sx];
                }
                plane.scanLine(y)[x] = uchar((sum + (2 * r + 1) / 2) / (2 * r + 1));
            }
        }
    };
    const struct {
        int w, h;
        qreal sigma;
    } cases[] = {{37, 23, 2.0}, {64, 64, 5.5}, {9, 6, 12.0}, {1, 1, 3.0}, {120, 3, 1.2}, {3, 41, 0.8}};
    quint32 seed = 7;
    for (const auto &c : cases) {
        QImage plane(c.w, c.h, QImage::Format_Alpha8);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                seed = seed * 1664525u + 1013904223u;
                plane.scanLine(y)[x] = uchar(seed >> 24);
            }
        QImage expected = plane.copy();
        blurAlpha(plane, c.sigma);
        // The three box widths the blur uses for this sigma, taken from a single lit pixel's
        // spread would be circular; the widths follow the usual three-box fit of a Gaussian.
        const qreal ideal = std::sqrt(4.0 * c.sigma * c.sigma + 1.0);
        int lower = int(std::floor(ideal));
        if (lower % 2 == 0)
            --lower;
        const qreal m = std::round((12.0 * c.sigma * c.sigma - 3.0 * lower * lower - 12.0 * lower - 9.0)
                                   / (-4.0 * lower - 4.0));
        for (int i = 0; i < 3; ++i) {
            const int r = ((i < m ? lower : lower + 2) - 1) / 2;
            if (r <= 0)
                continue;
            plainPass(expected, r, true);
            plainPass(expected, r, false);
        }
        EXPECT_TRUE(plane == expected) << c.w << "x" << c.h << " sigma " << c.sigma;
    }
}
