// The stage's drawings made ahead on a worker thread, the face shared by a travelling and a
// seated disc, the table's wood placed again while a window is resized, and the drawings a
// resized window wants made on the worker while the old ones stand in.

#include "ScreenFixture.h"

#include "paint/DrawingThread.h"
#include "paint/FontRegistration.h"
#include "scenes/turntable/OakTable.h"
#include "scenes/turntable/StageFit.h"
#include "scenes/turntable/TabletopStage.h"

#include <QPainter>
#include <QSemaphore>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

class StageDrawingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fonts::registerBundledFonts(); }

    void SetUp() override { deck.library.add(record); }

    static QImage paint(TabletopStage &stage, qreal dpr)
    {
        QImage image(stage.size() * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        QPainter painter(&image);
        stage.paintStage(painter, dpr);
        return image;
    }

    DeckHarness deck;
    Record record = sampleRecord(u"harbour"_s, u"Harbour Lights"_s);
};

// How far apart two images of one size are: the mean and the 99th percentile of the
// difference of their channels.
struct Difference {
    double mean = 0;
    int percentile99 = 0;
    int most = 0;
};

Difference differenceOf(const QImage &a, const QImage &b)
{
    std::vector<int> channels;
    channels.reserve(size_t(a.width()) * size_t(a.height()) * 3);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const QRgb *pb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            for (const int d : {std::abs(qRed(pa[x]) - qRed(pb[x])), std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                                std::abs(qBlue(pa[x]) - qBlue(pb[x]))}) {
                channels.push_back(d);
                sum += d;
            }
    }
    const int most = *std::max_element(channels.begin(), channels.end());
    const auto at = channels.begin() + qsizetype(channels.size() * 99 / 100);
    std::nth_element(channels.begin(), at, channels.end());
    return {sum / double(channels.size()), *at, most};
}

// The same table, its wood resampled at most: seen at a quarter of the size, where resampling
// the fine grain averages out, no plank is out of place and no seam has moved.
void expectSameTable(const QImage &a, const QImage &b)
{
    const QSize quarter = a.size() / 4;
    const Difference d = differenceOf(a.scaled(quarter, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                                      b.scaled(quarter, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    EXPECT_LT(d.mean, 1.0);
    EXPECT_LE(d.percentile99, 4);
}

// The same frame, but for text set on another thread, whose glyphs may round a level apart.
void expectAlike(const QImage &a, const QImage &b)
{
    const Difference d = differenceOf(a, b);
    EXPECT_EQ(d.percentile99, 0);
    EXPECT_LE(d.most, 2);
}

} // namespace

TEST_F(StageDrawingsTest, DrawingsMadeAheadAreTakenOverAndLookTheSame)
{
    deck.play(record);
    for (const qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(dpr);
        TabletopStage ahead(deck.turntable, deck.library, deck.clock);
        TabletopStage plain(deck.turntable, deck.library, deck.clock);
        for (TabletopStage *stage : {&ahead, &plain}) {
            stage->resize(820, 560);
            stage->show();
        }
        ahead.prepareDrawings(ahead.size(), dpr);
        ahead.waitForDrawings();
        const DeckDrawings &made = ahead.deckDrawings();
        EXPECT_EQ(made.body.renderCount(), 1);
        EXPECT_EQ(made.live.discFace().renderCount(), 1);

        expectAlike(paint(ahead, dpr), paint(plain, dpr));
        // The frame made nothing the worker had made already.
        EXPECT_EQ(ahead.pile().edgesRenderCount(), 0);
        EXPECT_EQ(ahead.deckDrawings().body.renderCount(), 1);
        EXPECT_EQ(ahead.deckDrawings().mug.renderCount(), 1);
        EXPECT_EQ(ahead.deckDrawings().live.discFace().renderCount(), 1);
    }
}

TEST_F(StageDrawingsTest, AFrameBeforeTheDrawingsAreDoneWaitsForThemAndAResizeMeanwhileStillFits)
{
    TabletopStage stage(deck.turntable, deck.library, deck.clock);
    stage.resize(820, 560);
    stage.show();
    stage.prepareDrawings(QSize(1000, 700), 1.0);
    // Made for another size: the frame takes them over and places the table's wood for its own.
    stage.resize(900, 600);
    TabletopStage plain(deck.turntable, deck.library, deck.clock);
    plain.resize(900, 600);
    plain.show();
    expectSameTable(paint(stage, 1.0), paint(plain, 1.0));
    EXPECT_EQ(stage.deckDrawings().body.renderCount(), 1);
}

TEST_F(StageDrawingsTest, ATravellingDiscAndTheSeatedOneShareTheirFace)
{
    TabletopStage stage(deck.turntable, deck.library, deck.clock);
    stage.resize(820, 560);
    stage.show();
    deck.turntable.load(record, false);
    // The disc's way out of the sleeve and onto the platter, a frame painted at every step.
    for (int frame = 0; frame < 150; ++frame) {
        deck.advance(1.0 / 60);
        stage.advanceFrame();
        paint(stage, 1.0);
    }
    EXPECT_EQ(deck.turntable.place(), Turntable::Place::platter);
    EXPECT_EQ(stage.deckDrawings().live.discFace().renderCount(), 1);
}

TEST_F(StageDrawingsTest, AResizedWindowShowsTheSameTableWithoutDrawingTheWoodAgain)
{
    const struct {
        QSize first;
        QSize then;
        qreal dpr;
        int woodDrawings; // after both
    } cases[] = {
        {{1280, 800}, {1310, 810}, 1.0, 1},   // a little larger: the margin holds it
        {{820, 560}, {780, 540}, 2.0, 1},     // smaller
        {{820, 560}, {1400, 560}, 1.0, 2},    // much wider: past the margin, drawn again
        {{1600, 1000}, {800, 500}, 1.0, 2},   // half the scale: drawn again, finer than needed no longer
        {{1000, 700}, {900, 600}, 1.0, 1},    // smaller, under a pixel to a point
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.then.width());
        OakTable table;
        table.image(c.first, StageFit::fit(c.first).transform(), c.dpr);
        const QTransform fit = StageFit::fit(c.then).transform();
        const QImage placed = table.image(c.then, fit, c.dpr);
        EXPECT_EQ(table.woodRenderCount(), c.woodDrawings);
        expectSameTable(placed, OakTable::render(c.then, fit, c.dpr));
    }
}

// The sleeve beside the deck lies in the back layer while it is still; each time it moves (the
// disc taken out, the record put away) it must come out of it again and leave no trace.
TEST_F(StageDrawingsTest, TheSleeveLaidIntoTheBackLayerLeavesNoTraceWhenItMoves)
{
    // At the ratio of a high-density screen, where the back layer's pixels are not points.
    const qreal dpr = 2.0;
    TabletopStage stage(deck.turntable, deck.library, deck.clock);
    stage.resize(820, 560);
    stage.show();
    const auto run = [&](double seconds) {
        for (double t = 0; t < seconds; t += 1.0 / 30) {
            deck.advance(1.0 / 30);
            stage.advanceFrame();
            paint(stage, dpr);
        }
    };
    // Within `stageArea`, where nothing else on the table keeps a state of its own.
    const auto expectAsIfDrawnAfresh = [&](QRectF stageArea) {
        TabletopStage fresh(deck.turntable, deck.library, deck.clock);
        fresh.resize(820, 560);
        fresh.show();
        const QRectF window = stage.fit().toWindow(stageArea) & QRectF(stage.rect());
        const QRect area = QRectF(window.topLeft() * dpr, window.size() * dpr).toAlignedRect();
        EXPECT_TRUE(paint(stage, dpr).copy(area) == paint(fresh, dpr).copy(area));
    };
    const QRectF wholeTable(QPointF(-400, -400), QSizeF(2400, 1800));
    // Left of the deck, where the sleeve lies: the turning record and its arm are a state of
    // the stage's own motion, which a new stage does not share.
    const QRectF besideTheDeck(QPointF(-400, -400), QPointF(540, 1400));
    deck.turntable.place(record); // the sleeve on the table, the disc in it
    run(1.5);
    expectAsIfDrawnAfresh(wholeTable);
    deck.turntable.load(record, false); // the disc out onto the platter
    run(3);
    deck.confirm();
    run(1);
    expectAsIfDrawnAfresh(besideTheDeck);
    deck.turntable.putAway(); // and back into its sleeve
    run(4);
    expectAsIfDrawnAfresh(wholeTable);
}

// A window resized across a step of the drawings' pixel ratio and past what the table's wood
// holds: its frames go on with the drawings it has, scaled, and do not make new ones on the
// way; those are made on the drawing thread and then taken over.
TEST_F(StageDrawingsTest, AResizeThatWantsNewDrawingsGoesOnWithTheOldUntilTheNewAreMade)
{
    deck.play(record);
    TabletopStage stage(deck.turntable, deck.library, deck.clock);
    stage.resize(1600, 1000);
    stage.show();
    paint(stage, 1.0);
    const int bodies = stage.deckDrawings().body.renderCount();
    const int woods = stage.table().woodRenderCount();

    // The drawing thread held, so that the frame after the resize surely comes first.
    QSemaphore held;
    drawingThread().start([&] { held.acquire(); });
    const QSize larger(2100, 1300); // a scale of 1.3: sprites wanted at 1.5, wood too coarse
    stage.resize(larger);
    ASSERT_TRUE(stage.isPreparingDrawings());
    const QImage makeshift = paint(stage, 1.0);
    EXPECT_EQ(stage.deckDrawings().body.renderCount(), bodies);
    EXPECT_EQ(stage.table().woodRenderCount(), woods);

    TabletopStage fresh(deck.turntable, deck.library, deck.clock);
    fresh.resize(larger);
    fresh.show();
    const QImage expected = paint(fresh, 1.0);
    expectSameTable(makeshift, expected);

    held.release();
    stage.waitForDrawings();
    EXPECT_FALSE(stage.isPreparingDrawings());
    EXPECT_EQ(stage.table().woodRenderCount(), woods + 1);
    expectAlike(paint(stage, 1.0), expected);
}
