#include "CrateFixture.h"

#include "scenes/crate/CratesView.h"
#include "scenes/sleeveback/SleeveBackParts.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;

namespace {

class CratesViewTest : public ::testing::Test {
protected:
    CratesViewTest()
    {
        view.resize(1200, 800);
        view.show();
    }

    void key(Qt::Key k) { QTest::keyClick(&view, k); }

    // Lets a pull-out that was closed fade away and go.
    void letPullOutGo()
    {
        fixture.clock.advanceSeconds(1);
        if (view.pullOut())
            view.pullOut()->advanceFrame();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(view.pullOut());
    }

    // A trackpad's scroll of `dy` points, delivered to `target` (a widget of any window).
    static void scroll(QWidget &target, double dy)
    {
        QWheelEvent event(QPointF(10, 10), target.mapToGlobal(QPointF(10, 10)), QPoint(0, int(dy)), QPoint(0, int(dy * 3)),
                          Qt::NoButton, Qt::NoModifier, Qt::ScrollUpdate, false);
        QApplication::sendEvent(&target, &event);
    }

    QTemporaryDir covers;
    CrateFixture fixture{covers.path()};
    CratesView view{{fixture.library, *fixture.settings, fixture.clock, {}, &fixture.store}};
};

} // namespace

TEST_F(CratesViewTest, KeysFlipThroughTheRecordsAndReturnPullsOne)
{
    // [A] Harbour Orchard [B] Copper Slow Tidewater [C] ...
    ASSERT_TRUE(view.items()[0].isDivider());
    EXPECT_EQ(view.current(), 1) << "the first record, not the first divider";
    key(Qt::Key_Left);
    EXPECT_EQ(view.current(), 1);
    key(Qt::Key_Right);
    EXPECT_EQ(view.current(), 2);
    key(Qt::Key_Down);
    EXPECT_EQ(view.current(), 4) << "over the divider";
    key(Qt::Key_Up);
    EXPECT_EQ(view.current(), 2);

    QSignalSpy pulled(&view, &CratesView::pulledChanged);
    key(Qt::Key_Return);
    ASSERT_TRUE(view.pulled());
    EXPECT_EQ(view.pulled()->title, u"Orchard at Dusk"_s);
    EXPECT_EQ(pulled.count(), 1);
    view.closePullOut();
    EXPECT_FALSE(view.pulled());
}

TEST_F(CratesViewTest, ClicksDragsAndThePill)
{
    view.go(5);
    view.settle();
    const crate::CardPose pose = view.displayedPose(5);
    const QPointF centre = view.geometry().cardTransform(pose).map(QPointF(view.geometry().card / 2, view.geometry().card / 3));
    EXPECT_EQ(view.cardAt(centre), 5);
    ASSERT_TRUE(view.pullButton().isVisible());

    // A click on a passed card goes back to it; on the current one, pulls it out.
    const crate::CardPose passed = view.displayedPose(4);
    const QPolygonF quad = view.geometry().cardQuad(passed);
    const QPointF onPassed((quad[0].x() + quad[1].x()) / 2, std::min(quad[0].y(), quad[1].y()) + 3);
    ASSERT_EQ(view.cardAt(onPassed), 4);
    QTest::mouseClick(&view, Qt::LeftButton, {}, onPassed.toPoint());
    EXPECT_EQ(view.current(), 4);
    view.settle();
    const QPointF current = view.geometry().cardTransform(view.displayedPose(4)).map(QPointF(view.geometry().card / 2, 60));
    QTest::mouseClick(&view, Qt::LeftButton, {}, current.toPoint());
    ASSERT_TRUE(view.pulled());
    ASSERT_TRUE(view.pullOut());
    EXPECT_EQ(view.pullOut()->entry().item, view.items()[4].entry.item);
    EXPECT_EQ(view.pullOut()->geometry(), view.rect()) << "over the whole crate";
    view.closePullOut();
    letPullOutGo();

    // A drag of 20 points or more flips one card; a shorter one is a click.
    const QPoint from = current.toPoint();
    QTest::mousePress(&view, Qt::LeftButton, {}, from);
    QTest::mouseMove(&view, from + QPoint(0, 30));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, from + QPoint(0, 30));
    EXPECT_EQ(view.current(), 5);
    EXPECT_FALSE(view.pulled());

    view.pullButton().click();
    ASSERT_TRUE(view.pulled());
    EXPECT_EQ(view.pulled()->item, view.items()[5].entry.item);
}

TEST_F(CratesViewTest, TheWheelStepsOnlyForItsOwnWindow)
{
    QWidget other;
    other.resize(100, 100);
    other.show();
    struct Counter : QObject {
        int wheels = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            wheels += event->type() == QEvent::Wheel;
            return false;
        }
    } counter;
    other.installEventFilter(&counter);

    scroll(other, -40);
    EXPECT_EQ(counter.wheels, 1) << "another window's events pass on untouched";
    EXPECT_EQ(view.current(), 1);

    // Many small deltas at once: one step, then nothing until 0.07 s have passed.
    for (int i = 0; i < 20; ++i)
        scroll(view, -5);
    EXPECT_EQ(view.current(), 2);
    fixture.clock.advanceSeconds(0.05);
    scroll(view, -40);
    EXPECT_EQ(view.current(), 2);
    fixture.clock.advanceSeconds(0.03);
    scroll(view, -1);
    EXPECT_EQ(view.current(), 4);
    scroll(view.pullButton(), 0); // a child of the crate's window is the crate's too
    fixture.clock.advanceSeconds(0.1);
    scroll(view.pullButton(), 60);
    EXPECT_EQ(view.current(), 2);
}

TEST_F(CratesViewTest, KindAndLibraryChanges)
{
    view.go(6);
    view.setKind(ShelfKind::playlist);
    EXPECT_EQ(view.current(), 1);
    EXPECT_EQ(view.items().size(), 3);
    EXPECT_EQ(storedShelfKind(*fixture.settings), ShelfKind::playlist);

    view.setKind(ShelfKind::all);
    view.go(5);
    const QString before = view.items()[view.current()].identity();
    fixture.library.add(sampleRecord(u"new"_s, u"Aardvark"_s)); // files under Q for "The Quiet Hours"
    EXPECT_EQ(view.items()[view.current()].identity(), before) << "the same card stays current";
}

TEST(CratesViewEmpty, NoCardsAndNothingToDo)
{
    QTemporaryDir covers;
    ManualClock clock;
    TestSettings settings;
    ScriptedLibrary library;
    CratesView view({library, *settings, clock, {}});
    view.resize(820, 560);
    view.show();
    EXPECT_TRUE(view.items().isEmpty());
    for (const Qt::Key k : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Return})
        QTest::keyClick(&view, k);
    QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(0, -200), QPoint(0, -600), Qt::NoButton, Qt::NoModifier,
                      Qt::ScrollUpdate, false);
    QApplication::sendEvent(&view, &event);
    EXPECT_EQ(view.current(), 0);
    EXPECT_FALSE(view.pulled());
    EXPECT_FALSE(view.cardAt(QPointF(410, 280)));
    EXPECT_FALSE(view.pullButton().isVisible());
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    view.paintCrate(p, 1); // draws the empty crate without touching a card
}
