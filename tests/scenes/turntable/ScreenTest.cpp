#include "ScreenFixture.h"

#include "paint/FontRegistration.h"
#include "paint/Fonts.h"
#include "scenes/deck/Cables.h"
#include "scenes/deck/DeckGeometry.h"
#include "scenes/sleeveback/Drawer.h"
#include "scenes/sleeveback/SleeveBack.h"
#include "scenes/sleeveback/SleeveBackParts.h"
#include "scenes/turntable/OakTable.h"
#include "scenes/turntable/PileLayout.h"
#include "scenes/turntable/Readout.h"
#include "scenes/turntable/StagePoses.h"
#include "scenes/turntable/TabletopStage.h"
#include "scenes/turntable/TurntableScreen.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;
using Status = PlaybackController::Status;
using Place = Turntable::Place;

namespace {

class ScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fonts::registerBundledFonts(); }

    void SetUp() override
    {
        records = {sampleRecord(u"harbour"_s, u"Harbour Lights"_s), sampleRecord(u"orchard"_s, u"Orchard"_s),
                   sampleRecord(u"tide"_s, u"Tidewater"_s, 1)};
        for (const Record &record : records)
            deck.library.add(record);
    }

    // Runs the stage's frames for `seconds` of the deck's clock.
    void frames(TabletopStage &stage, double seconds)
    {
        for (double t = 0; t < seconds; t += 1.0 / 60) {
            deck.advance(1.0 / 60);
            stage.advanceFrame();
        }
        QCoreApplication::processEvents();
    }

    void click(TabletopStage &stage, QPointF stagePoint)
    {
        QTest::mouseClick(&stage, Qt::LeftButton, {}, stage.fit().toWindow(stagePoint).toPoint());
    }

    QString readout() { return plainText(readoutRuns(deck.turntable, deck.clock.now())); }

    DeckHarness deck;
    QList<Record> records;
};

// A point on the arm's line at `distance` from the pivot, for an arm angle.
QPointF alongArm(double angle, double distance)
{
    const double a = angle * M_PI / 180;
    return {1110 - distance * std::sin(a), 340 + distance * std::cos(a)};
}

} // namespace

TEST_F(ScreenTest, EveryDeckControlReachesItsTurntableOperation)
{
    TabletopStage stage(deck.turntable, deck.library, deck.clock);
    stage.resize(1600, 1000);
    stage.show();

    click(stage, deck::powerButtonFrame.center());
    EXPECT_TRUE(deck.turntable.power());
    click(stage, deck::button45Frame.center());
    EXPECT_TRUE(deck.turntable.at45());
    EXPECT_TRUE(deck.settings->value(Turntable::at45Key).toBool());
    click(stage, deck::button33Frame.center());
    EXPECT_FALSE(deck.turntable.at45());
    click(stage, deck::targetLightFrame.center());
    EXPECT_TRUE(deck.turntable.targetLight());

    // The pitch fader: 17 points down from the centre is +2.0 %.
    const QPoint fader = stage.fit().toWindow(deck::pitchFaderFrame.center()).toPoint();
    QTest::mousePress(&stage, Qt::LeftButton, {}, fader);
    QTest::mouseMove(&stage, stage.fit().toWindow(deck::pitchFaderFrame.center() + QPointF(0, 17)).toPoint());
    QTest::mouseRelease(&stage, Qt::LeftButton, {}, stage.fit().toWindow(deck::pitchFaderFrame.center() + QPointF(0, 17)).toPoint());
    EXPECT_NEAR(deck.turntable.pitch(), 2.0, 0.051);

    // START·STOP with a record in its sleeve puts it on and plays; the cue lever then lifts the needle.
    deck.turntable.place(records[0]);
    deck.advance(3);
    click(stage, deck::startStopFrame.center());
    deck.advance(3);
    ASSERT_FALSE(deck.engine.plays.empty());
    deck.confirm();
    EXPECT_EQ(deck.controller.status(), Status::playing);
    click(stage, deck::cueLeverFrame.center());
    deck.advance(0.5);
    EXPECT_EQ(deck.controller.status(), Status::paused);

    click(stage, deck::powerButtonFrame.center());
    EXPECT_FALSE(deck.turntable.power());

    EXPECT_EQ(TabletopStage::toolTip(TabletopStage::Control::cueLever), u"Cue lever"_s);
}

TEST_F(ScreenTest, DroppingTheArmOnTheGroovesSeeksToThatPlace)
{
    TabletopStage stage(deck.turntable, deck.library, deck.clock);
    stage.resize(820, 560);
    stage.show();
    deck.play(records[0]);
    frames(stage, 6);
    ASSERT_EQ(deck.controller.status(), Status::playing);

    // Take the arm by its tube and drop the stylus half-way through the side's grooves.
    const double arm = stage.motion().arm();
    const QPointF grab = alongArm(arm, 150);
    ASSERT_EQ(stage.controlAt(grab), TabletopStage::Control::tonearm);
    const double target = armAngle(deck::grooveRadius(0.5));
    const QPointF drop = alongArm(target, 320);
    QTest::mousePress(&stage, Qt::LeftButton, {}, stage.fit().toWindow(grab).toPoint());
    QTest::mouseMove(&stage, stage.fit().toWindow(alongArm(target, 150)).toPoint());
    ASSERT_TRUE(deck.turntable.dragAngle());
    EXPECT_EQ(stage.cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseRelease(&stage, Qt::LeftButton, {}, stage.fit().toWindow(drop).toPoint());
    EXPECT_FALSE(deck.turntable.dragAngle());

    const double sideMs = double(records[0].sides[0].durationMs);
    // Window points are whole, so the drop lands within a fraction of a degree of the aim.
    EXPECT_NEAR(double(deck.controller.sidePosition()) / sideMs, 0.5, 0.01);
    EXPECT_EQ(deck.controller.trackIndex(), 1);
}

TEST_F(ScreenTest, ReadoutTellsWhatTheDeckIsDoing)
{
    EXPECT_EQ(readout(), QString());
    deck.turntable.place(records[0]);
    deck.advance(3);
    EXPECT_EQ(readout(), u"Harbour Lights · in its sleeve"_s);

    deck.play(records[0]);
    deck.advance(65);
    EXPECT_EQ(readout(), u"Side A · 1. Lantern Street · 01:05"_s);
    const QList<ReadoutRun> runs = readoutRuns(deck.turntable, deck.clock.now());
    ASSERT_EQ(runs.size(), 3);
    EXPECT_TRUE(runs[1].emphasised);

    deck.controller.pause();
    deck.engine.sendState(true, 65'000, deck.engine.plays.back().uris.at(0));
    deck.clock.settle();
    ASSERT_EQ(deck.controller.status(), Status::paused);
    ASSERT_TRUE(deck.turntable.motor());
    EXPECT_EQ(readout(), u"Side A · 1. Lantern Street · 01:05 · needle up"_s);
    deck.turntable.startStop();
    deck.clock.settle();
    ASSERT_FALSE(deck.turntable.motor());
    EXPECT_TRUE(readout().endsWith(u" · stopped"_s)) << readout().toStdString();

    // The last track of side A runs out.
    deck.turntable.play(0, false, 2);
    deck.advance(2);
    deck.engine.sendState(false, 578'000, deck.engine.plays.back().uris.at(2));
    deck.clock.settle();
    deck.advance(2.5);
    deck.engine.sendState(true, 0, deck.engine.plays.back().uris.at(2));
    deck.clock.settle();
    ASSERT_EQ(deck.controller.status(), Status::sideEnded);
    EXPECT_TRUE(readout().startsWith(u"Side A · 3. Copper Rain · "_s)) << readout().toStdString();
    EXPECT_TRUE(readout().endsWith(u" · end of side"_s)) << readout().toStdString();

    // The widget follows the models and stops looking when there is nothing to show.
    Readout pill(deck.turntable, deck.clock);
    EXPECT_TRUE(pill.isRefreshing());
    EXPECT_EQ(pill.text(), readout());
}

TEST_F(ScreenTest, ReadoutPillFollowsItsLineAtEveryChange)
{
    Record longTitle = sampleRecord(u"long"_s, u"Long"_s);
    longTitle.title = u"A Record Whose Title Runs On Well Past What Any Pill At The Top Of The Table Could Hold"_s;
    deck.library.add(longTitle);
    TurntableScreen screen(deck.turntable, deck.library, deck.clock);
    screen.resize(1280, 820);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    Readout &pill = screen.readout();

    // The pill is as wide as its line, up to 560 points, and centred under the top edge.
    const auto fitsItsLine = [&](const char *when) {
        SCOPED_TRACE(when);
        pill.refresh();
        ASSERT_TRUE(pill.isVisible());
        const QFontMetricsF mono(fonts::font(fonts::mono(), 12));
        const QFontMetricsF medium(fonts::font(fonts::mono(), 12, QFont::Medium));
        double line = 0;
        for (const ReadoutRun &run : pill.runs())
            line += (run.emphasised ? medium : mono).horizontalAdvance(run.text);
        const int expected = std::min<int>(int(std::ceil(line)) + 28, Readout::maxWidth);
        EXPECT_EQ(pill.width(), expected) << pill.text().toStdString();
        EXPECT_NEAR(pill.geometry().center().x(), screen.width() / 2, 1);
        EXPECT_EQ(pill.y(), 10);
    };

    deck.turntable.place(records[0]);
    deck.advance(3);
    fitsItsLine("in its sleeve");
    deck.play(records[0]);
    fitsItsLine("put on: side, track and time");
    deck.advance(65);
    fitsItsLine("a minute on");
    deck.controller.pause();
    deck.clock.settle();
    fitsItsLine("needle up");
    deck.turntable.play(0, false, 2);
    deck.advance(2);
    deck.confirm(1000);
    fitsItsLine("another track");
    deck.turntable.place(longTitle);
    deck.advance(6);
    fitsItsLine("a title too long for the pill");
    EXPECT_EQ(pill.width(), Readout::maxWidth);
    deck.turntable.place(records[1]);
    deck.advance(6);
    fitsItsLine("a short title again");
}

TEST_F(ScreenTest, DrawerClosesAfterTheGraceUnlessThePointerReturnsOrItIsPinned)
{
    Drawer drawer(deck.clock);
    drawer.hoverEdge();
    EXPECT_TRUE(drawer.isOpen());

    drawer.leavePanel();
    deck.advance(0.3);
    drawer.enterPanel();
    deck.advance(0.5);
    EXPECT_TRUE(drawer.isOpen()) << "back within 450 ms";

    drawer.leavePanel();
    deck.advance(0.449);
    EXPECT_TRUE(drawer.isOpen());
    deck.advance(0.002);
    EXPECT_FALSE(drawer.isOpen());

    drawer.clickTab();
    drawer.setPinned(true);
    drawer.leavePanel();
    deck.advance(2);
    drawer.tapStage();
    drawer.discLanded();
    EXPECT_TRUE(drawer.isOpen()) << "pinned";
    drawer.close();
    EXPECT_FALSE(drawer.isOpen());
    EXPECT_FALSE(drawer.isPinned());

    // Unpinned, a tap on the table or the disc landing closes it.
    drawer.hoverEdge();
    drawer.tapStage();
    EXPECT_FALSE(drawer.isOpen());
}

TEST_F(ScreenTest, ScreenWiresTheDrawer)
{
    TurntableScreen screen(deck.turntable, deck.library, deck.clock);
    screen.resize(820, 560);
    screen.show();
    EXPECT_EQ(screen.drawerWidth(), 350);
    EXPECT_FALSE(screen.drawerPanel().isVisible());

    QTest::mouseClick(&screen.drawerTab(), Qt::LeftButton);
    EXPECT_TRUE(screen.drawer().isOpen());
    EXPECT_FALSE(screen.drawerTab().isVisible());
    screen.settleDrawer();
    EXPECT_EQ(screen.drawerPanel().geometry().right(), 819);

    // The pin in the sleeve back and the drawer are one setting.
    screen.sleeveBack().setPinned(true);
    EXPECT_TRUE(screen.drawer().isPinned());
    QTest::mouseClick(&screen.stage(), Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_TRUE(screen.drawer().isOpen());
    screen.drawer().setPinned(false);
    EXPECT_FALSE(screen.sleeveBack().isPinned());

    // The disc landing on the platter closes the unpinned drawer.
    deck.turntable.load(records[0], false);
    deck.advance(3);
    EXPECT_FALSE(screen.drawer().isOpen());
    screen.settleDrawer();
    EXPECT_FALSE(screen.drawerPanel().isVisible());
    screen.resize(300, 400);
    EXPECT_EQ(screen.drawerWidth(), 276);
}

TEST_F(ScreenTest, ChooserPutsARecordOnTheDeck)
{
    SleeveBack back(deck.turntable, deck.library);
    back.resize(350, 800);
    EXPECT_EQ(back.face(), sleeveback::Face::chooser);

    auto *row = back.findChild<RowButton *>(u"entry-"_s + ShelfEntry::fromRecord(records[1]).id());
    ASSERT_TRUE(row);
    row->click();
    deck.advance(3);
    ASSERT_TRUE(deck.turntable.record());
    EXPECT_EQ(deck.turntable.record()->id, u"orchard"_s);
    EXPECT_EQ(deck.turntable.place(), Place::sleeve);
    EXPECT_TRUE(deck.engine.plays.empty()) << "placing does not play";
    QCoreApplication::processEvents();
    EXPECT_EQ(back.face(), sleeveback::Face::record);
    auto *pills = back.findChild<QWidget *>(u"pills"_s);
    ASSERT_TRUE(pills);
    QStringList titles;
    for (auto *pill : pills->findChildren<PillButton *>())
        titles << pill->text();
    EXPECT_EQ(titles, (QStringList{u"Put it on"_s, u"Flip to side B"_s}));

    // Escape: to the chooser and back, then it closes the drawer.
    back.setShowingLibrary(true);
    EXPECT_EQ(back.face(), sleeveback::Face::chooser);
    EXPECT_TRUE(back.findChild<QWidget *>(u"on-deck"_s));
    int closes = 0;
    QObject::connect(&back, &SleeveBack::closeRequested, [&] { ++closes; });
    back.escape();
    EXPECT_EQ(back.face(), sleeveback::Face::record);
    back.escape();
    EXPECT_EQ(closes, 1);

    // A record that cannot be had changes nothing.
    ShelfEntry missing{LibraryItem::album(u"gone"_s), u"Gone"_s, {}, {}, {}, {}, 9};
    back.pick(missing);
    deck.advance(3);
    EXPECT_EQ(deck.turntable.record()->id, u"orchard"_s);
}

TEST_F(ScreenTest, TrackRowStaysHighlightedWhilePausedButNotAfterTheSide)
{
    SleeveBack back(deck.turntable, deck.library);
    deck.play(records[0]);
    deck.engine.sendState(false, 1000, deck.engine.plays.back().uris.at(1));
    deck.clock.settle();
    const auto highlighted = [&] {
        back.rebuildNow();
        QStringList rows;
        for (auto *row : back.findChildren<RowButton *>())
            if (row->isHighlighted())
                rows << row->objectName();
        return rows;
    };
    EXPECT_EQ(highlighted(), QStringList{u"track-0-1"_s});
    deck.controller.pause();
    deck.engine.sendState(true, 2000, deck.engine.plays.back().uris.at(1));
    deck.clock.settle();
    ASSERT_EQ(deck.controller.status(), Status::paused);
    EXPECT_EQ(highlighted(), QStringList{u"track-0-1"_s});

    deck.turntable.play(0, false, 2);
    deck.advance(2);
    deck.engine.sendState(false, 578'000, deck.engine.plays.back().uris.at(2));
    deck.clock.settle();
    deck.advance(2.5);
    deck.engine.sendState(true, 0, deck.engine.plays.back().uris.at(2));
    deck.clock.settle();
    ASSERT_EQ(deck.controller.status(), Status::sideEnded);
    EXPECT_TRUE(highlighted().isEmpty());
    auto *notice = back.findChild<Notice *>(u"side-over"_s);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->text(), u"Side A is over."_s);
    ASSERT_TRUE(notice->button());
    EXPECT_EQ(notice->button()->text(), u"Flip it"_s);
}

TEST_F(ScreenTest, PileShowsTheNextRecordsAndPutsAClickedOneOnTheDeck)
{
    TabletopStage stage(deck.turntable, deck.library, deck.clock);
    stage.resize(1600, 1000);
    Pile &pile = stage.pile();
    ASSERT_EQ(pile.visible().size(), 2);
    EXPECT_EQ(pile.visible()[0].item.id, u"harbour"_s);

    // Moving from one sleeve onto the other lifts the second.
    const QPointF first = pile::slotCentre(0) + QPointF(-80, -60);
    const QPointF second = pile::slotCentre(1) + QPointF(60, 40);
    pile.pointerMoved(first);
    EXPECT_EQ(pile.hovered(), pile.visible()[0].id());
    pile.pointerMoved(second);
    EXPECT_EQ(pile.hovered(), pile.visible()[1].id());

    click(stage, first);
    deck.advance(3);
    ASSERT_TRUE(deck.turntable.record());
    EXPECT_EQ(deck.turntable.record()->id, u"harbour"_s);
    EXPECT_EQ(pile.visible()[0].item.id, u"orchard"_s) << "the record on the deck leaves the heap";
    EXPECT_EQ(pile.visible()[1].item.id, u"tide"_s);

    // A record that cannot be fetched leaves everything as it was.
    deck.library.setEntries({ShelfEntry{LibraryItem::album(u"gone"_s), u"Gone"_s, {}, {}, {}, {}, 0}});
    const int fetches = deck.library.fetches;
    pile.click(pile.visible()[0]);
    deck.advance(3);
    EXPECT_EQ(deck.library.fetches, fetches + 1);
    EXPECT_EQ(deck.turntable.record()->id, u"harbour"_s);
    EXPECT_EQ(pile.visible().size(), 1);
}

namespace {
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

TEST_F(ScreenTest, NothingRepaintsWhileTheDeckIsAtRest)
{
    TurntableScreen screen(deck.turntable, deck.library, deck.clock);
    screen.resize(820, 560);
    deck.turntable.place(records[0]);
    deck.advance(3);
    screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
    // Let the first frames snap the deck and come to rest.
    for (int i = 0; i < 200 && !screen.stage().isStill(); ++i) {
        deck.advance(1.0 / 60);
        screen.stage().advanceFrame();
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(screen.stage().isStill());
    EXPECT_TRUE(screen.readout().isVisible());
    QTest::qWait(100);

    PaintCounter counter;
    screen.installEventFilter(&counter);
    for (QWidget *child : screen.findChildren<QWidget *>())
        child->installEventFilter(&counter);
    const int frames = screen.stage().frameCount();
    QTest::qWait(2000);
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(screen.stage().frameCount(), frames);

    // A model change wakes the loop.
    deck.turntable.togglePower();
    EXPECT_FALSE(screen.stage().isStill());
}

TEST_F(ScreenTest, DrawerGlassHidesTheTableBelowIt)
{
    deck.turntable.place(records[0]);
    deck.advance(3);
    SleeveBack back(deck.turntable, deck.library);
    back.resize(350, 900);
    back.rebuildNow();
    QImage image(back.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    back.render(&image);
    // Below the last section, in the middle of the panel: only the glass is there.
    const QColor glass = image.pixelColor(175, 860);
    EXPECT_GE(glass.alphaF(), 0.95);
    EXPECT_LT(glass.lightness(), 60);
}

TEST_F(ScreenTest, TheTableRunsOnPastTheStageToTheWindowsEdges)
{
    // Windows of other shapes than the stage's show table beyond its 1600 x 1000 rectangle:
    // the cables carry on off its back and the pile's front sleeve over its front edge.
    const struct {
        QSize window;
    } cases[] = {{{1000, 900}}, {{820, 579}}, {{1600, 1200}}};
    const Cable &mains = deckCables().front();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.window.width());
        TabletopStage stage(deck.turntable, deck.library, deck.clock);
        stage.resize(c.window);
        stage.show();
        QImage image(c.window, QImage::Format_ARGB32_Premultiplied);
        {
            QPainter painter(&image);
            stage.paintStage(painter, 1.0);
        }
        const QImage table = OakTable::render(c.window, stage.fit().transform(), 1.0);
        const QRectF window(QPointF(0, 0), QSizeF(c.window));
        const auto differs = [&](QPointF stagePoint) {
            const QPoint at = stage.fit().toWindow(stagePoint).toPoint();
            return image.pixel(at) != table.pixel(at);
        };

        // Where the mains cable crosses the window's top edge, above the stage.
        const QPainterPath path = mains.path();
        std::optional<QPointF> above;
        for (double t = 0; t <= 1.0; t += 0.001) {
            const QPointF p = path.pointAtPercent(t);
            const QPointF w = stage.fit().toWindow(p);
            if (p.y() < -4 && window.adjusted(2, 2, -2, -2).contains(w)) {
                above = p;
                break;
            }
        }
        if (above) {
            EXPECT_TRUE(differs(*above)) << "cable at stage y " << above->y();
        }

        // The front sleeve of the pile, below the stage's bottom edge.
        const QPointF front = pile::slotCentre(1) + QPointF(0, 20);
        ASSERT_GT(front.y(), 1000);
        if (window.adjusted(2, 2, -2, -2).contains(stage.fit().toWindow(front))) {
            EXPECT_TRUE(differs(front));
        }
        EXPECT_TRUE(above);
    }
}
