#include "Probes.h"

#include "model/Record.h"
#include "scenes/deck/DeckFrame.h"
#include "scenes/deck/DeckGeometry.h"
#include "scenes/vinyl/DiscFace.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <numbers>

using namespace velloran;
using velloran::testing::pixelAt;

namespace {

Side sideOf(QList<qint64> offsets, qint64 duration)
{
    Side side;
    side.index = 1;
    side.startOffsets = std::move(offsets);
    for (qsizetype i = 0; i < side.startOffsets.size(); ++i)
        side.tracks.append(Track{});
    side.durationMs = duration;
    return side;
}

QImage solidArtwork(const QColor &color)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// A point on the disc at a radius, along a direction, in the face's own points.
QPointF onDisc(double radius, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return {deck::discRadius + radius * std::cos(a), deck::discRadius + radius * std::sin(a)};
}

} // namespace

TEST(DiscFace, MadeFromASideWithBreaksAfterTheFirstTrack)
{
    Record record;
    record.artworkURL = QUrl(QStringLiteral("https://covers.invalid/a.jpg"));

    const DiscFace three = DiscFace::make(record, sideOf({0, 250'000, 750'000}, 1'000'000));
    EXPECT_EQ(three.trackBreaks, (QList<double>{0.25, 0.75}));
    EXPECT_EQ(three.label, QStringLiteral("B"));
    EXPECT_EQ(three.artworkURL, record.artworkURL);

    EXPECT_TRUE(DiscFace::make(record, sideOf({0}, 1'000'000)).trackBreaks.isEmpty());
    EXPECT_TRUE(DiscFace::make(record, sideOf({}, 0)).trackBreaks.isEmpty());
    // A side without duration must not divide by zero.
    EXPECT_EQ(DiscFace::make(record, sideOf({0, 0}, 0)).trackBreaks, (QList<double>{0.0}));
}

TEST(DiscFace, TrackGapsLieOnTheArmsRadiusScale)
{
    EXPECT_EQ(trackGapRadius(0.0), 200.0);
    EXPECT_EQ(trackGapRadius(0.5), 143.0);
    EXPECT_EQ(trackGapRadius(1.0), 86.0);
    EXPECT_EQ(trackGapRadius(1.7), 86.0);
    EXPECT_EQ(trackGapRadius(-0.2), 200.0);
}

TEST(DiscFace, GrooveTextureIsFixed)
{
    const QList<GrooveRing> &rings = grooveRings();
    ASSERT_EQ(rings.size(), 238); // 84, 84.5, ... 202.5
    EXPECT_EQ(rings.front().radius, 84.0);
    EXPECT_EQ(rings.back().radius, 202.5);
    int dark = 0;
    for (const GrooveRing &ring : rings) {
        dark += ring.dark;
        EXPECT_TRUE(ring.dark ? ring.opacity >= 0.3 && ring.opacity <= 0.45 : ring.opacity > 0.0425 && ring.opacity <= 0.06);
    }
    // Both kinds occur in a healthy mix.
    EXPECT_GT(dark, 80);
    EXPECT_LT(dark, 158);
}

TEST(DiscFace, TwoRecordsShareTheGrooveTextureAndDifferByGapsAndLabel)
{
    const DiscFace first{QUrl(QStringLiteral("https://covers.invalid/1.jpg")), {0.3}, QStringLiteral("A")};
    const DiscFace second{QUrl(QStringLiteral("https://covers.invalid/2.jpg")), {0.8}, QStringLiteral("C")};
    const QImage a = DiscFaceRenderer::render(first, solidArtwork(Qt::red), 1.0);
    const QImage b = DiscFaceRenderer::render(second, solidArtwork(Qt::blue), 1.0);
    ASSERT_EQ(a.size(), QSize(420, 420));

    const double gapA = trackGapRadius(0.3);
    const double gapB = trackGapRadius(0.8);
    int compared = 0;
    for (double r = 86; r < 202; r += 0.25) {
        if (std::abs(r - gapA) < 4 || std::abs(r - gapB) < 4)
            continue;
        for (const double angle : {0.0, 90.0, 200.0}) {
            ASSERT_EQ(pixelAt(a, onDisc(r, angle)), pixelAt(b, onDisc(r, angle))) << "radius " << r;
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
    // The gaps themselves differ, and so do the labels.
    EXPECT_NE(pixelAt(a, onDisc(gapA, 0)), pixelAt(b, onDisc(gapA, 0)));
    EXPECT_TRUE(velloran::testing::near(pixelAt(a, onDisc(30, 45)), Qt::red));
    EXPECT_TRUE(velloran::testing::near(pixelAt(b, onDisc(30, 45)), Qt::blue));
}

TEST(DiscFace, BreakBeyondTheSideIsDrawnAtTheRunOutAndNoBreakDrawsNoGap)
{
    const QImage none = DiscFaceRenderer::render({{}, {}, QStringLiteral("A")}, {}, 2.0);
    const QImage late = DiscFaceRenderer::render({{}, {1.4}, QStringLiteral("A")}, {}, 2.0);
    ASSERT_EQ(none.size(), QSize(840, 840));
    // A gap is a 2.6-point band of grey 31: far lighter than the vinyl's dark grooves.
    const QColor gap = pixelAt(late, onDisc(86, 30));
    EXPECT_TRUE(velloran::testing::near(gap, QColor(31, 31, 31), 3)) << gap.name().toStdString();
    EXPECT_NE(pixelAt(none, onDisc(86, 30)), gap);

    const QImage middle = DiscFaceRenderer::render({{}, {0.5}, QStringLiteral("A")}, {}, 2.0);
    EXPECT_TRUE(velloran::testing::near(pixelAt(middle, onDisc(143, 200)), QColor(31, 31, 31), 3));
    EXPECT_FALSE(velloran::testing::near(pixelAt(none, onDisc(143, 200)), QColor(31, 31, 31), 3));
    // Without artwork the label shows the placeholder.
    EXPECT_TRUE(velloran::testing::near(pixelAt(none, onDisc(30, 45)), QColor(42, 39, 36), 2));
}

TEST(DiscFace, SpinningTheLabelOverTheStillVinylLooksLikeTurningTheWholeFace)
{
    // Label artwork with a clear orientation: one quarter red, the rest blue.
    QImage art(120, 120, QImage::Format_ARGB32_Premultiplied);
    art.fill(Qt::blue);
    {
        QPainter p(&art);
        p.fillRect(QRect(60, 0, 60, 60), Qt::red);
    }
    const DiscFace face{{}, {0.25, 0.6}, QStringLiteral("B")};
    const double rotation = 117.0;
    const QSizeF size(480, 480);
    const QPointF centre(240, 240);

    DeckFramePainter deckPainter;
    QImage fast = makeCanvas(size, 1.0);
    fast.fill(Qt::black);
    {
        QPainter p(&fast);
        prepare(p);
        deckPainter.paintDisc(p, centre, rotation, face, art, 1.0);
    }

    // The reference: the whole face turned, then the sheen over it.
    QImage whole = makeCanvas(size, 1.0);
    whole.fill(Qt::black);
    {
        QPainter p(&whole);
        prepare(p);
        p.translate(centre);
        p.save();
        p.rotate(rotation);
        p.drawImage(QPointF(-deck::discRadius, -deck::discRadius), DiscFaceRenderer::render(face, art, 1.0));
        p.restore();
        p.setCompositionMode(QPainter::CompositionMode_Plus);
        p.drawImage(QPointF(-deck::discRadius, -deck::discRadius), DiscSheenRenderer::render(1.0));
    }

    int compared = 0;
    for (double r = 5; r < 205; r += 7) {
        for (double a = 0; a < 360; a += 13) {
            const double rad = a * std::numbers::pi / 180.0;
            const QPointF at = centre + QPointF(r * std::cos(rad), r * std::sin(rad));
            // The shadow is laid under the still vinyl only; the comparison is on the disc.
            ASSERT_TRUE(velloran::testing::near(pixelAt(fast, at), pixelAt(whole, at), 12))
                << "radius " << r << " angle " << a << ": " << pixelAt(fast, at).name().toStdString() << " vs "
                << pixelAt(whole, at).name().toStdString();
            ++compared;
        }
    }
    EXPECT_GT(compared, 700);

    // The red quarter of the label really turned: at 117 degrees clockwise its centre,
    // first up and to the right, lies down and to the right of the spindle.
    const double quarter = (-45.0 + rotation) * std::numbers::pi / 180.0;
    const QPointF red = centre + QPointF(40 * std::cos(quarter), 40 * std::sin(quarter));
    EXPECT_TRUE(velloran::testing::near(pixelAt(fast, red), Qt::red, 30)) << pixelAt(fast, red).name().toStdString();
}
