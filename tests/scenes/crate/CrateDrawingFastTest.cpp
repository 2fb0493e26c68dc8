// The crate's quick drawings against the plain ones they stand in for: the row-by-row
// projection of a tipped card against the raster engine's perspective drawing, and what the
// occlusion rules call hidden against the pixels of a real card.

#include "scenes/crate/CardOcclusion.h"
#include "scenes/crate/CrateDrawing.h"
#include "scenes/crate/CrateGeometry.h"
#include "scenes/crate/RowProjection.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::crate;
using namespace Qt::StringLiterals;

namespace {

// A card with detail across and down it, and a transparent tab strip like a divider's.
QImage patternCard(double side, qreal dpr)
{
    QImage image(QSize(int(side * dpr), int(side * dpr)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(QRectF(0, 20, side, side - 20), QColor(40, 110, 170));
    for (int i = 0; i < int(side / 12); ++i) {
        p.fillRect(QRectF(i * 12, 20, 4, side - 20), QColor(230, 200, 60));
        p.fillRect(QRectF(0, 20 + i * 12, side, 3), QColor(190, 40, 50, 200));
    }
    return image;
}

QImage room(QSize size, qreal dpr)
{
    QImage image(size * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(QColor(214, 198, 172));
    return image;
}

struct Difference {
    double mean = 0;
    double largeShare = 0; // of the pixels, those off by more than 48 in a channel
};

Difference differenceOf(const QImage &a, const QImage &b)
{
    Difference d;
    qint64 large = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *la = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *lb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int m = std::max({std::abs(qRed(la[x]) - qRed(lb[x])), std::abs(qGreen(la[x]) - qGreen(lb[x])),
                                    std::abs(qBlue(la[x]) - qBlue(lb[x]))});
            d.mean += m;
            large += m > 48;
        }
    }
    const double pixels = double(a.width()) * a.height();
    d.mean /= pixels;
    d.largeShare = double(large) / pixels;
    return d;
}

} // namespace

// Cards at the tilts they pass through while tipping forward, with the depth shade or a
// fade, at two pixel ratios, clipped or not: the row projection gives the pixels
// of the plain perspective drawing (sampled plainly, antialiased edges) but for single pixels
// along edges and rows where the two round a sample differently.
TEST(RowProjection, MatchesThePerspectiveDrawing)
{
    const QSize view(800, 600);
    const CrateGeometry geometry = CrateGeometry::fit(view);
    const struct {
        double tilt, scale, dy, opacity;
        QColor shade;
        QRectF clip;
    } cases[] = {
        {-80, 1.012, 60, 1, Qt::transparent, {}},
        {-74, 1.036, 72, 1, Qt::transparent, {}},
        {-45, 0.99, 20, 1, QColor(28, 16, 6, 40), {}},
        {-62, 1.0, 40, 0.55, Qt::transparent, {}},
        {-50, 0.98, 30, 1, QColor(28, 16, 6, 70), {}},
        {-76, 1.024, 68, 1, Qt::transparent, QRectF(300.5, 380.25, 170, 40)},
    };
    for (const qreal dpr : {1.0, 2.0}) {
        const QImage card = patternCard(geometry.card, dpr);
        RowProjection rows;
        for (const auto &c : cases) {
            SCOPED_TRACE(testing::Message() << "tilt " << c.tilt << " at " << dpr);
            const QTransform t = geometry.cardTransform({c.tilt, c.scale, c.dy, c.opacity, 0});
            ASSERT_TRUE(RowProjection::keepsRowsLevel(t));
            const QRectF clip = c.clip.isEmpty() ? QRectF(QPointF(), QSizeF(view)) : c.clip;

            QImage plain = room(view, dpr);
            {
                QPainter p(&plain);
                p.setRenderHint(QPainter::Antialiasing);
                p.setClipRect(clip);
                p.setOpacity(c.opacity);
                p.setTransform(t);
                const QRectF face(0, 0, geometry.card, geometry.card);
                p.drawImage(face, card);
                p.fillRect(face, c.shade);
            }
            QImage quick = room(view, dpr);
            {
                QPainter p(&quick);
                p.setClipRect(clip);
                p.setOpacity(c.opacity);
                rows.draw(p, card, t, c.shade, clip);
            }
            const Difference d = differenceOf(plain, quick);
            EXPECT_LT(d.mean, 0.6);
            EXPECT_LT(d.largeShare, 0.004);
        }
    }
}

// A transform that leans rows (a turn about the view's axis) is not for the row projection.
TEST(RowProjection, TellsWhichTransformsKeepRowsLevel)
{
    const CrateGeometry geometry = CrateGeometry::fit(QSizeF(800, 600));
    EXPECT_TRUE(RowProjection::keepsRowsLevel(geometry.cardTransform(CardPose::at(-2))));
    EXPECT_TRUE(RowProjection::keepsRowsLevel(QTransform::fromScale(2, 1.5) * QTransform::fromTranslate(3, 4)));
    QTransform turned;
    turned.rotate(3);
    EXPECT_FALSE(RowProjection::keepsRowsLevel(turned));
    QTransform sideways;
    sideways.rotate(30, Qt::YAxis);
    EXPECT_FALSE(RowProjection::keepsRowsLevel(sideways));
}

// The face called opaque really is opaque in the cards the crate draws, and a card with a
// hole in its face has none.
TEST(CardOcclusion, OpaqueFacesOfRealCards)
{
    for (const qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        ShelfEntry entry;
        entry.item = LibraryItem::album(u"a1"_s);
        entry.title = u"Orchard at Dusk"_s;
        entry.artist = u"Ada Harbour"_s;
        const struct {
            QImage image;
            bool divider;
        } cards[] = {{paintRecordCard(200, entry, std::nullopt, dpr), false}, {paintDividerCard(200, u"M"_s, dpr), true}};
        for (const auto &card : cards) {
            const QRectF face = opaqueFace(card.image, 200, card.divider);
            ASSERT_FALSE(face.isNull());
            EXPECT_TRUE(opaqueWithin(card.image, face));
            EXPECT_GE(face.width(), 190);
            EXPECT_GE(face.top(), card.divider ? 40 : 0) << "a divider hides nothing above its body";
        }
        QImage holed = cards[0].image;
        holed.setPixel(holed.width() / 2, holed.height() / 2, 0);
        EXPECT_TRUE(opaqueFace(holed, 200, false).isNull());
    }
}

// Hiding rounds inwards and drawing outwards, so that nothing visible is skipped.
TEST(CardOcclusion, RoundsHiddenInwardsAndDrawnOutwards)
{
    EXPECT_EQ(pointsInside(QRectF(10.2, 5.5, 20, 10)), QRegion(QRect(11, 6, 19, 9)));
    EXPECT_EQ(pointsTouched(QRectF(10.2, 5.5, 20, 10)), QRegion(QRect(10, 5, 21, 11)));
    EXPECT_TRUE(pointsInside(QRectF(10.2, 5.5, 0.6, 10)).isEmpty());

    // A trapezoid wider at the top: every band lies within it.
    const QPolygonF quad{QPointF(0, 0), QPointF(100, 0), QPointF(80, 60), QPointF(20, 60)};
    const QRegion inside = pointsInside(quad);
    ASSERT_FALSE(inside.isEmpty());
    for (const QRect &r : inside) {
        // The edges: x = y / 3 on the left and 100 - y / 3 on the right, 0 <= y <= 60.
        const double top = r.top();
        const double bottom = r.top() + r.height();
        EXPECT_GE(top, 0);
        EXPECT_LE(bottom, 60);
        EXPECT_GE(r.left(), bottom / 3) << "row from " << top;
        EXPECT_LE(r.left() + r.width(), 100 - bottom / 3) << "row from " << top;
    }
    EXPECT_GT(inside.boundingRect().width(), 60);
    // Most of it is called hidden.
    qint64 area = 0;
    for (const QRect &r : inside)
        area += qint64(r.width()) * r.height();
    EXPECT_GT(area, 0.85 * 60 * 80); // the trapezoid's area is 60 x 80
}
