#include "scenes/shelf/LedgeCover.h"

#include "paint/SoftShadow.h"
#include "scenes/shelf/ShelfLists.h"

#include <QPainterPath>

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::shelf;

namespace {

constexpr double side = WallLayout::coverSide;

// A cover with detail in every direction, so a drawing off by a pixel shows.
QImage patternCover(qreal dpr, QColor ink)
{
    QImage image = makeCanvas({side, side}, dpr);
    QPainter p(&image);
    p.fillRect(QRectF(0, 0, side, side), QColor(30, 90, 160));
    for (int i = 0; i < 16; ++i) {
        p.fillRect(QRectF(i * 10, 0, 3, side), ink);
        p.fillRect(QRectF(0, i * 10 + 5, side, 2), QColor(250, 230, 40));
    }
    return image;
}

Sprite shadow(qreal dpr)
{
    QPainterPath square;
    square.addRect(QRectF(0, 0, side, side));
    return softShadow(square, 9, QColor(58, 36, 18, 77), QPointF(5, 7), dpr);
}

// A cover's place on the ledge as the shelf computes it: standing at `foot`, turned and leant.
QTransform placed(QPointF foot, double tilt, double lean)
{
    QTransform place;
    place.translate(foot.x(), foot.y());
    place.rotate(tilt);
    QTransform leanBack;
    leanBack.rotate(-lean, Qt::XAxis);
    return QTransform::fromTranslate(-side / 2, -side) * leanBack * place;
}

QImage wall(qreal dpr)
{
    QImage image(QSize(400, 300) * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(QColor(180, 158, 128));
    return image;
}

// The largest difference of any channel between two images of the same size.
int largestDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *la = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *lb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            worst = std::max({worst, std::abs(qRed(la[x]) - qRed(lb[x])), std::abs(qGreen(la[x]) - qGreen(lb[x])),
                              std::abs(qBlue(la[x]) - qBlue(lb[x]))});
    }
    return worst;
}

QImage drawnDirectly(qreal dpr, const QImage &cover, const Sprite &s, const QTransform &t, double scroll)
{
    QImage target = wall(dpr);
    QPainter p(&target);
    p.translate(0, -scroll);
    p.setTransform(t, true);
    LedgeCover::paintDirect(p, cover, s);
    return target;
}

QImage drawnStill(LedgeCover &still, qreal dpr, const QImage &cover, const Sprite &s, const QTransform &t,
                  double scroll)
{
    QImage target = wall(dpr);
    QPainter p(&target);
    p.translate(0, -scroll);
    still.paint(p, cover, s, t, true);
    return target;
}

} // namespace

// The still drawing, copied at whole device pixels, is the drawing through the transform
// (within the rounding of blending in two steps), wherever the cover stands, also when the
// same cover is moved, scrolled or given new artwork.
TEST(LedgeCover, StillDrawingMatchesTheDrawingThroughItsTransform)
{
    for (const qreal dpr : {1.0, 2.0, 1.5}) {
        SCOPED_TRACE(dpr);
        const QImage cover = patternCover(dpr, QColor(200, 40, 40));
        const QImage newArtwork = patternCover(dpr, QColor(20, 200, 60));
        const Sprite s = shadow(dpr);
        LedgeCover still;
        const struct {
            QPointF foot;
            double tilt, lean, scroll;
            const QImage *cover;
        } places[] = {
            {{200, 230}, -2.5, 4, 0, &cover},       {{200.3, 230.6}, -2.5, 4, 0, &cover},
            {{180.7, 250.2}, 1.8, 4, 20.25, &cover}, {{180.7, 250.2}, 1.8, 4, 20.25, &newArtwork},
            {{210, 240}, 0, 0, 7, &newArtwork},
        };
        for (const auto &place : places) {
            SCOPED_TRACE(testing::Message() << place.foot.x() << "," << place.foot.y() << " scroll " << place.scroll);
            const QTransform t = placed(place.foot, place.tilt, place.lean);
            EXPECT_LE(largestDifference(drawnStill(still, dpr, *place.cover, s, t, place.scroll),
                                        drawnDirectly(dpr, *place.cover, s, t, place.scroll)),
                      3);
        }
    }
}

// A still cover is projected once; a scroll by whole device pixels only moves the copy, a
// move by a fraction of a pixel draws it anew.
TEST(LedgeCover, ProjectsAgainOnlyWhenThePixelsWouldDiffer)
{
    const qreal dpr = 2;
    const QImage cover = patternCover(dpr, QColor(200, 40, 40));
    const Sprite s = shadow(dpr);
    const QTransform t = placed({200, 230}, -2.5, 4);
    LedgeCover still;
    drawnStill(still, dpr, cover, s, t, 0);
    drawnStill(still, dpr, cover, s, t, 0);
    EXPECT_EQ(still.projectionCount(), 1);
    const QImage scrolled = drawnStill(still, dpr, cover, s, t, 12.5); // 25 device pixels
    EXPECT_EQ(still.projectionCount(), 1);
    EXPECT_LE(largestDifference(scrolled, drawnDirectly(dpr, cover, s, t, 12.5)), 3);
    drawnStill(still, dpr, cover, s, t, 12.3);
    EXPECT_EQ(still.projectionCount(), 2);
}
