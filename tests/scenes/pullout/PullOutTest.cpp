#include "scenes/pullout/PullOut.h"

#include "ScriptedLibrary.h"
#include "TemporaryHome.h"

#include "artwork/ArtworkStore.h"
#include "core/ManualClock.h"

#include <QNetworkAccessManager>
#include <QTest>

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

// A library whose records take a while to build, on the test's clock.
class SlowLibrary final : public LibraryAccess {
public:
    SlowLibrary(Clock &clock, Record record, double seconds)
        : m_clock(clock)
        , m_record(std::move(record))
        , m_seconds(seconds)
    {
    }
    QList<ShelfEntry> entries() const override { return {}; }
    bool isLoading() const override { return false; }
    std::optional<QString> error() const override { return std::nullopt; }
    QCoro::Task<> load() override { co_return; }
    QCoro::Task<Record> record(LibraryItem) override
    {
        co_await m_clock.sleepSeconds(m_seconds);
        co_return Record(m_record);
    }

private:
    Clock &m_clock;
    Record m_record;
    double m_seconds;
};

struct HandOff {
    ShelfEntry entry;
    QString record;
    QRectF from;
};

class PullOutTest : public ::testing::Test {
protected:
    PullOutTest()
    {
        ArtworkStore::setShared(&store);
        window.resize(1000, 700);
        host = new QWidget(&window);
        host->setGeometry(100, 50, 800, 600);
        window.show();
        record = sampleRecord(u"harbour"_s, u"Harbour Lights"_s);
        entry = ShelfEntry::fromRecord(record);
    }
    ~PullOutTest() override
    {
        delete pullOut.data();
        ArtworkStore::setShared(nullptr);
    }

    PullOut *open(LibraryAccess &library)
    {
        PullOut::Actions actions;
        actions.close = [this] { ++closes; };
        actions.putOnTurntable = [this](const ShelfEntry &e, const Record &r, const QRectF &from) {
            handOffs.push_back({e, r.id, from});
        };
        pullOut = new PullOut(entry, library, clock, std::move(actions), host, &store);
        pullOut->open();
        return pullOut;
    }

    // Runs the scene's clock on, frame by frame.
    void run(double seconds)
    {
        for (double t = 0; t < seconds; t += 1.0 / 60) {
            clock.advanceSeconds(1.0 / 60);
            if (pullOut)
                pullOut->advanceFrame();
        }
        clock.settle();
    }

    void click(QRectF button) { QTest::mouseClick(pullOut.data(), Qt::LeftButton, {}, button.center().toPoint()); }

    TemporaryHome home;
    ManualClock clock;
    QNetworkAccessManager network;
    ArtworkStore store{&network, clock};
    QWidget window;
    QWidget *host = nullptr;
    Record record;
    ShelfEntry entry;
    QPointer<PullOut> pullOut;
    int closes = 0;
    std::vector<HandOff> handOffs;
};

} // namespace

TEST_F(PullOutTest, ArrivesAndTheDiscSlidesOutAfterAPause)
{
    ScriptedLibrary library;
    library.add(record);
    open(library);
    EXPECT_TRUE(pullOut->isShown());
    EXPECT_FALSE(pullOut->isDiscOut());
    run(0.3);
    EXPECT_FALSE(pullOut->isDiscOut());
    run(0.1);
    EXPECT_TRUE(pullOut->isDiscOut());
    run(2);
    // Out and turning: the frame loop keeps going while the disc spins.
    EXPECT_FALSE(pullOut->isStill());
    EXPECT_EQ(pullOut->record()->id, record.id);
}

TEST_F(PullOutTest, SecondRequestsAreIgnoredAndCloseComesOnce)
{
    ScriptedLibrary library;
    library.add(record);
    library.cache(entry.item);

    // Escape twice.
    open(library);
    run(1.5);
    QTest::keyClick(pullOut.data(), Qt::Key_Escape);
    QTest::keyClick(pullOut.data(), Qt::Key_Escape);
    run(0.5);
    EXPECT_EQ(closes, 0);
    EXPECT_FALSE(pullOut->isShown());
    run(0.2);
    EXPECT_EQ(closes, 1);
    run(2);
    EXPECT_EQ(closes, 1);
    delete pullOut.data();

    // "Put it back", then "Play" within the same half second.
    closes = 0;
    open(library);
    run(1.5);
    click(pullOut->putBackButtonRect());
    run(0.2);
    click(pullOut->playButtonRect());
    pullOut->play();
    run(2);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(handOffs.empty());
}

TEST_F(PullOutTest, ClickOnTheBackdropPutsItBack)
{
    ScriptedLibrary library;
    library.add(record);
    open(library);
    run(1.5);
    QTest::mouseClick(pullOut.data(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(pullOut->isClosing());
    run(1);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(handOffs.empty());
}

TEST_F(PullOutTest, PlayWaitsForTheRecord)
{
    SlowLibrary library(clock, record, 2.0);
    open(library);
    run(0.5);
    EXPECT_FALSE(pullOut->record());
    EXPECT_FALSE(pullOut->canPlay());
    EXPECT_EQ(pullOut->factsText(), u"LP \u00B7 1978"_s);
    click(pullOut->playButtonRect());
    run(0.6);
    EXPECT_FALSE(pullOut->isClosing());
    EXPECT_EQ(closes, 0);

    run(2);
    ASSERT_TRUE(pullOut->record());
    EXPECT_TRUE(pullOut->canPlay());
    EXPECT_EQ(pullOut->factsText(), u"LP \u00B7 1978 \u00B7 6 TRACKS \u00B7 2 SIDES"_s);
    click(pullOut->playButtonRect());
    run(0.45);
    EXPECT_TRUE(handOffs.empty());
    run(0.1);
    ASSERT_EQ(handOffs.size(), 1u);
    EXPECT_EQ(handOffs[0].record, record.id);
    EXPECT_EQ(handOffs[0].entry, entry);
    EXPECT_EQ(closes, 1);
}

TEST_F(PullOutTest, CachedRecordIsPlayableFromTheFirstFrame)
{
    ScriptedLibrary library;
    library.add(record);
    library.cache(entry.item);
    open(library);
    EXPECT_TRUE(pullOut->canPlay());
    EXPECT_EQ(pullOut->factsText(), u"LP \u00B7 1978 \u00B7 6 TRACKS \u00B7 2 SIDES"_s);
    EXPECT_EQ(library.fetches, 0);
}

TEST_F(PullOutTest, FailedRecordLeavesPlayOffButPutBackWorks)
{
    ScriptedLibrary library; // holds no record: building it fails
    open(library);
    run(1.5);
    EXPECT_EQ(library.fetches, 1);
    EXPECT_FALSE(pullOut->canPlay());
    pullOut->play();
    EXPECT_FALSE(pullOut->isClosing());
    pullOut->putBack();
    run(1);
    EXPECT_EQ(closes, 1);
}

TEST_F(PullOutTest, PlayHandsTheSleevesRectangleInWindowCoordinates)
{
    ScriptedLibrary library;
    library.add(record);
    library.cache(entry.item);
    open(library);
    run(1.5);
    pullOut->play();
    run(0.6);
    ASSERT_EQ(handOffs.size(), 1u);
    const QRectF from = handOffs[0].from;
    // The host is 800 x 600 at (100, 50) in the window: S = 300, and the sleeve stands 0.28 S
    // left of the centre.
    EXPECT_NEAR(from.width(), 300, 1e-6);
    EXPECT_NEAR(from.height(), 300, 1e-6);
    EXPECT_NEAR(from.center().x(), 100 + 400 - 0.28 * 300, 1e-6);
    const pullout::Layout local = pullout::layout({800, 600}, {});
    EXPECT_NEAR(from.top(), 50 + local.sleeve.top(), 30); // the text heights come from the fonts
    EXPECT_GT(from.top(), 50);
}

TEST_F(PullOutTest, DisappearsAfterClosing)
{
    ScriptedLibrary library;
    library.add(record);
    open(library);
    run(1);
    pullOut->disappear();
    run(0.4);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pullOut.isNull());
}
