#include "RoomsFixture.h"

#include "scenes/crate/CratesView.h"
#include "scenes/rooms/FlyingSleeve.h"
#include "scenes/rooms/RoomSwitch.h"
#include "scenes/rooms/SleeveFlightMotion.h"
#include "scenes/shelf/ShelfView.h"
#include "scenes/sleeveback/Drawer.h"
#include "scenes/turntable/Readout.h"
#include "scenes/turntable/StageFit.h"
#include "scenes/turntable/TurntableScreen.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace velloran::rooms;
using namespace Qt::StringLiterals;
using Screen = Navigation::Screen;

namespace {

void expectNear(const QRectF &a, const QRectF &b, double tolerance = 0.01)
{
    EXPECT_NEAR(a.x(), b.x(), tolerance);
    EXPECT_NEAR(a.y(), b.y(), tolerance);
    EXPECT_NEAR(a.width(), b.width(), tolerance);
    EXPECT_NEAR(a.height(), b.height(), tolerance);
}

} // namespace

TEST(SleeveFlightMotion, HoldsOnASpringAndLandsOnItsCurve)
{
    const QSizeF view(1600, 1000);
    const QRectF rest = restingRect(view);
    const StageFit fit = StageFit::fit(view);
    expectNear(rest, QRectF(fit.dx + (285 - 165) * fit.scale, fit.dy + (470 - 165) * fit.scale, 330 * fit.scale,
                            330 * fit.scale));

    SleeveFlightMotion motion;
    motion.start(QRectF(600, 300, 360, 360));
    EXPECT_FALSE(motion.isMoving());
    motion.advance(0);
    motion.hold(view);
    motion.advance(0.1);
    EXPECT_TRUE(motion.isMoving());
    EXPECT_GT(motion.pose().frame.x(), rest.x() - 0.62 * rest.width());
    for (double t = 0.1; t < 4; t += 1.0 / 60)
        motion.advance(t);
    EXPECT_FALSE(motion.isMoving());
    expectNear(motion.pose().frame, rest.translated(-0.62 * rest.width(), -0.42 * rest.height()));
    EXPECT_DOUBLE_EQ(motion.pose().angle, 4);

    motion.land(view, 4);
    motion.advance(4 + 0.375);
    const double halfway = SleeveFlightMotion::landingCurve().valueForProgress(0.5);
    EXPECT_NEAR(motion.pose().angle, 4 + (-6 - 4) * halfway, 1e-9);
    motion.advance(4 + 0.75);
    EXPECT_FALSE(motion.isMoving());
    expectNear(motion.pose().frame, rest);
    EXPECT_DOUBLE_EQ(motion.pose().angle, -6);
}

TEST(Rooms, OneRoomAtATimeAndTheSwitch)
{
    RoomsFixture f;
    Rooms &rooms = *f.rooms;
    EXPECT_EQ(f.navigation.screen(), Screen::shelf);
    EXPECT_TRUE(qobject_cast<ShelfView *>(rooms.room()));
    EXPECT_EQ(rooms.roomSwitch().pos(), QPoint(86, 9));

    RoomSwitch &roomSwitch = rooms.roomSwitch();
    const auto press = [&](qsizetype index) {
        QTest::mouseClick(&roomSwitch, Qt::LeftButton, {}, roomSwitch.buttonRect(index).center().toPoint());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    press(1);
    EXPECT_EQ(f.navigation.screen(), Screen::crates);
    QPointer<QWidget> crate = rooms.room();
    ASSERT_TRUE(qobject_cast<CratesView *>(crate));

    // The room already shown: nothing changes, the same view stays.
    QSignalSpy changes(&f.navigation, &Navigation::screenChanged);
    press(1);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(rooms.room(), crate.data());

    press(2);
    auto *screen = qobject_cast<TurntableScreen *>(rooms.room());
    ASSERT_TRUE(screen);
    EXPECT_FALSE(crate) << "the room left is gone";
    EXPECT_FALSE(screen->drawer().isOpen());
    EXPECT_FALSE(screen->drawer().isPinned());
    EXPECT_EQ(rooms.room()->geometry(), rooms.rect());

    // Back on the turntable: the same screen, its drawer closed and not pinned again.
    screen->drawer().clickTab();
    screen->drawer().setPinned(true);
    press(0);
    EXPECT_FALSE(screen->isVisible());
    press(2);
    EXPECT_EQ(rooms.room(), screen);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_FALSE(screen->drawer().isOpen());
    EXPECT_FALSE(screen->drawer().isPinned());

    // Coming on screen again, the rooms show the shelf.
    rooms.hide();
    rooms.show();
    EXPECT_EQ(f.navigation.screen(), Screen::shelf);
    EXPECT_TRUE(qobject_cast<ShelfView *>(rooms.room()));
}

TEST(Rooms, TheSleeveFliesHoldsLandsAndHandsOver)
{
    RoomsFixture f;
    FlyingSleeve &sleeve = f.rooms->flyingSleeve();
    const Record &first = f.library.records[0];
    const Record &second = f.library.records[1];

    // An incoming state of none without a flight changes nothing.
    QSignalSpy flights(&f.navigation, &Navigation::flightChanged);
    f.deck.turntable.load(first, false);
    f.deck.advance(0.3 + 1.6);
    f.deck.confirm();
    EXPECT_EQ(flights.count(), 0);
    EXPECT_FALSE(sleeve.isFlying());

    // Another record sent while the first plays: the sleeve waits beside the table.
    const QRectF from(500, 200, 300, 300);
    f.send(ShelfEntry::fromRecord(second), second, from);
    EXPECT_EQ(f.navigation.screen(), Screen::turntable);
    ASSERT_TRUE(sleeve.isFlying());
    EXPECT_EQ(f.deck.turntable.incoming(), Turntable::Incoming::holding);
    expectNear(sleeve.motion().pose().frame, from);

    // A resize during the flight moves the resting place at the next change of state.
    const QRectF restBefore = restingRect(f.rooms->size());
    f.rooms->resize(820, 560);
    const QRectF restAfter = restingRect(f.rooms->size());
    ASSERT_NE(restBefore, restAfter);
    for (int i = 0; i < 120; ++i) {
        f.deck.advance(1.0 / 60);
        sleeve.advanceFrame();
    }
    expectNear(sleeve.motion().pose().frame,
               restBefore.translated(-0.62 * restBefore.width(), -0.42 * restBefore.height()));

    f.deck.advance(0.9 + 1.36 + 0.45 - 2 + 0.01); // the old record is away: the sleeve lands
    ASSERT_EQ(f.deck.turntable.incoming(), Turntable::Incoming::landing);
    for (int i = 0; i < 44; ++i) { // nearly the whole 0.75 s
        f.deck.advance(1.0 / 60);
        sleeve.advanceFrame();
    }
    expectNear(sleeve.motion().pose().frame, restAfter, 1.0); // at the new size's place
    EXPECT_NEAR(sleeve.motion().pose().angle, -6, 0.1);
    EXPECT_TRUE(f.navigation.flight());

    f.deck.advance(0.05); // the turntable expects no sleeve any more: the table draws it
    EXPECT_FALSE(f.navigation.flight());
    EXPECT_FALSE(sleeve.isFlying());
}

TEST(Rooms, ASleeveForAnEmptyTableLandsAtOnce)
{
    RoomsFixture f(QSize(1600, 1000));
    const Record &record = f.library.records[2];
    f.send(ShelfEntry::fromRecord(record), record, QRectF(10, 10, 200, 200));
    FlyingSleeve &sleeve = f.rooms->flyingSleeve();
    ASSERT_EQ(f.deck.turntable.incoming(), Turntable::Incoming::landing);
    EXPECT_TRUE(sleeve.motion().isMoving());
    f.deck.advance(0.75);
    EXPECT_FALSE(f.navigation.flight());

    // The record already on the deck: no flight at all.
    f.send(ShelfEntry::fromRecord(record), record, QRectF(10, 10, 200, 200));
    EXPECT_FALSE(f.navigation.flight());
}

TEST(Rooms, TheReadoutKeepsClearOfTheRoomSwitch)
{
    RoomsFixture f(QSize(1600, 1000));
    Record record = f.library.records[0];
    record.title = u"A Record Whose Title Runs On Well Past What Any Pill At The Top Of The Table Could Hold"_s;
    f.deck.library.add(record, record.artworkURL);
    f.navigation.setScreen(Screen::turntable);
    f.deck.turntable.place(record);
    f.deck.advance(3);
    auto *screen = qobject_cast<TurntableScreen *>(f.rooms->room());
    ASSERT_TRUE(screen);
    Readout &pill = screen->readout();
    pill.refresh();
    const QRect roomSwitch = f.rooms->roomSwitch().geometry();

    // Wide enough: centred at its widest. Narrow: moved right of the switch and cut shorter.
    for (const int width : {1600, 820}) {
        SCOPED_TRACE(width);
        f.rooms->resize(width, 600);
        ASSERT_TRUE(pill.isVisible());
        const QRect placed = pill.geometry();
        EXPECT_FALSE(placed.intersects(roomSwitch.adjusted(-12, 0, 12, 0)));
        EXPECT_LE(placed.right(), width - 12);
        EXPECT_EQ(placed.y(), 10);
        if (width == 1600) {
            EXPECT_EQ(placed.width(), Readout::maxWidth);
            EXPECT_NEAR(placed.center().x(), width / 2, 1);
        } else {
            EXPECT_EQ(placed.left(), roomSwitch.right() + 13);
            EXPECT_EQ(placed.right(), width - 13);
        }
    }
}
