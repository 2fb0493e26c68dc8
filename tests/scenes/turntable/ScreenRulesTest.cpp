#include "ScreenFixture.h"

#include "scenes/deck/DeckTargets.h"
#include "scenes/sleeveback/FlowRow.h"
#include "scenes/sleeveback/SleeveBackRules.h"
#include "scenes/turntable/PileLayout.h"
#include "scenes/turntable/ReadoutText.h"
#include "scenes/turntable/StageFit.h"
#include "scenes/turntable/StagePoses.h"

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;
using Status = PlaybackController::Status;

TEST(StageFit, FocusRectangleFillsTheWindowByAspect)
{
    // A square window shows the deck's focus across its whole width, centred in its height.
    const StageFit deck = StageFit::fit({700, 700});
    EXPECT_EQ(deck.focus, StageFit::deckFocus);
    EXPECT_DOUBLE_EQ(deck.scale, 1);
    EXPECT_EQ(deck.toWindow(QPointF(540, 200)), QPointF(0, 40));
    EXPECT_EQ(deck.toWindow(QPointF(1240, 820)), QPointF(700, 660));
    // 700 x 620 is wider than high by more than 5 %, so it shows the table.
    EXPECT_EQ(StageFit::fit({700, 620}).focus, StageFit::tableFocus);

    const StageFit wide = StageFit::fit({1520, 920});
    EXPECT_DOUBLE_EQ(wide.scale, 1);
    EXPECT_EQ(wide.toWindow(QPointF(40, 60)), QPointF(0, 0));

    // 5 % wider than high already counts as wide; just under uses the deck.
    EXPECT_EQ(StageFit::fit({1050, 1000}).focus, StageFit::tableFocus);
    EXPECT_EQ(StageFit::fit({1049, 1000}).focus, StageFit::deckFocus);

    // The tighter dimension is filled and the focus centred in the other.
    const StageFit tall = StageFit::fit({1520, 1840});
    EXPECT_DOUBLE_EQ(tall.scale, 1520.0 / 700.0);
    const QPointF centre = tall.toWindow(StageFit::deckFocus.center());
    EXPECT_NEAR(centre.x(), 760, 1e-9);
    EXPECT_NEAR(centre.y(), 920, 1e-9);
    EXPECT_NEAR(tall.toStage(tall.toWindow(QPointF(123, 456))).x(), 123, 1e-9);
}

TEST(ArmDrag, AngleFromThePivotIsClamped)
{
    EXPECT_DOUBLE_EQ(armdrag::angle({1110, 600}), 0);
    EXPECT_DOUBLE_EQ(armdrag::angle({1600, 400}), -6);
    EXPECT_DOUBLE_EQ(armdrag::angle({500, 400}), 58);
    EXPECT_NEAR(armdrag::angle({1010, 440}), 45, 1e-9);
    // The handle hangs from the pivot and turns with the arm.
    EXPECT_TRUE(armdrag::contains({1110, 600}, 0));
    EXPECT_FALSE(armdrag::contains({1110, 600}, 40));
    EXPECT_TRUE(armdrag::contains({1110 - 200 * std::sin(40 * M_PI / 180), 340 + 200 * std::cos(40 * M_PI / 180)}, 40));
}

TEST(StagePoses, DiscPoseFlipAndSleeveLooks)
{
    const Instant t0 = ManualClock::fromEpochSeconds(1000);
    EXPECT_FALSE(stageDiscPose(std::nullopt, Turntable::Place::sleeve, t0));
    EXPECT_EQ(*stageDiscPose(std::nullopt, Turntable::Place::platter, t0), StageDiscPose{});

    // Going back in, the disc shrinks and slips under the sleeve once its left edge is past x 462.
    const DiscMove in{DiscMove::Kind::in, t0, 1.36};
    const StageDiscPose start = *stageDiscPose(in, Turntable::Place::platter, t0);
    EXPECT_EQ(start.layer, 1);
    EXPECT_NEAR(start.x, 810, 1e-9);
    const StageDiscPose end = *stageDiscPose(in, Turntable::Place::platter, addSeconds(t0, 1.36));
    EXPECT_EQ(end.layer, 0);
    EXPECT_NEAR(end.scale, 0.74, 1e-9);

    EXPECT_EQ(FlipPose::at(std::nullopt).angle, 0);
    EXPECT_NEAR(FlipPose::at(0.924 / 4).angle, 45, 1e-9);
    EXPECT_NEAR(FlipPose::at(0.924 * 0.75).angle, -45, 1e-9);
    EXPECT_NEAR(FlipPose::at(0.462).scale, 1.07, 1e-9);
    EXPECT_NEAR(FlipPose::at(5).angle, 0, 1e-9);

    EXPECT_EQ(SleeveLook::of(true, true, true), (SleeveLook{0, 10, {-160, 380}}));
    EXPECT_EQ(SleeveLook::of(false, true, true), (SleeveLook{0, -9, {-12, 6}}));
    EXPECT_EQ(SleeveLook::of(false, false, true), (SleeveLook{1, -9, {-12, 6}}));
    EXPECT_EQ(SleeveLook::of(false, false, false), (SleeveLook{1, -6, {0, 0}}));
}

TEST(DeckTargets, InputsFollowTheDeckAndThePlayer)
{
    DeckSnapshot s;
    s.motor = true;
    s.at45 = true;
    s.pitch = 2;
    EXPECT_DOUBLE_EQ(deckInputs(s).targetRPM, 45 * 1.02);

    // Tracking a side half played.
    s.onCurrentSide = true;
    s.sideDurationMs = 1'000'000;
    s.sidePositionMs = 500'000;
    s.status = Status::playing;
    s.motor = false;
    DeckInputs in = deckInputs(s);
    EXPECT_TRUE(in.motor) << "playing drives the platter";
    EXPECT_FALSE(in.rest);
    EXPECT_FALSE(in.lifted);
    EXPECT_DOUBLE_EQ(in.armTarget, armAngle(200 - 114 * 0.5));

    s.status = Status::paused;
    in = deckInputs(s);
    EXPECT_FALSE(in.rest);
    EXPECT_TRUE(in.lifted);

    for (const Status status : {Status::idle, Status::sideEnded}) {
        s.status = status;
        in = deckInputs(s);
        EXPECT_TRUE(in.rest);
        EXPECT_EQ(in.armTarget, 0);
    }

    // A side of no length gives the arm no target; a drag overrides everything.
    s.status = Status::playing;
    s.sideDurationMs = 0;
    EXPECT_TRUE(deckInputs(s).rest);
    s.dragAngle = 30;
    in = deckInputs(s);
    EXPECT_EQ(in.drag, 30);
    EXPECT_TRUE(in.rest && in.lifted);
}

TEST(FlowRow, WrapsAndNeverStartsARowEmpty)
{
    const QList<QSizeF> pills{{100, 30}, {80, 30}, {120, 34}};
    FlowRowPlan plan = FlowRowPlan::make(pills, 200, 8);
    EXPECT_EQ(plan.frames[0], QRectF(0, 0, 100, 30));
    EXPECT_EQ(plan.frames[1], QRectF(108, 0, 80, 30));
    EXPECT_EQ(plan.frames[2], QRectF(0, 38, 120, 34));
    EXPECT_EQ(plan.size, QSizeF(200, 72));

    // Narrower than the first pill: it still sits alone on the first row.
    plan = FlowRowPlan::make(pills, 50, 8);
    EXPECT_EQ(plan.frames[0], QRectF(0, 0, 100, 30));
    EXPECT_EQ(plan.frames[1].topLeft(), QPointF(0, 38));
    EXPECT_EQ(plan.size.height(), 30 + 8 + 30 + 8 + 34);

    // Unlimited width: one row as wide as its items.
    plan = FlowRowPlan::make(pills, std::nullopt, 8);
    EXPECT_EQ(plan.size, QSizeF(316, 34));
    EXPECT_EQ(FlowRowPlan::make({}, 100, 8).size, QSizeF(100, 0));
}

TEST(PileLayout, LeavesOutTheDeckRecordByIdOnly)
{
    const Record x = sampleRecord(u"X"_s, u"Album X"_s);
    ShelfEntry albumX = ShelfEntry::fromRecord(x);
    ShelfEntry playlistX{LibraryItem::playlist(u"X"_s), u"Also X"_s, {}, {}, {}, {}, 1};
    ShelfEntry y{LibraryItem::playlist(u"Y"_s), u"Y"_s, {}, {}, {}, {}, 2};
    ShelfEntry z{LibraryItem::album(u"Z"_s), u"Z"_s, {}, {}, {}, {}, 3};
    ShelfEntry w{LibraryItem::album(u"W"_s), u"W"_s, {}, {}, {}, {}, 4};

    EXPECT_EQ(pile::visibleEntries({albumX, y, z, w}, x), (QList<ShelfEntry>{y, z}));
    EXPECT_EQ(pile::visibleEntries({playlistX, y, z}, x), (QList<ShelfEntry>{y, z}));
    EXPECT_EQ(pile::visibleEntries({albumX, y}, std::nullopt), (QList<ShelfEntry>{albumX, y}));
    EXPECT_EQ(pile::visibleEntries({albumX, z}, x), (QList<ShelfEntry>{z}));
    EXPECT_TRUE(pile::visibleEntries({albumX}, x).isEmpty());
}

TEST(PileLayout, HoverMovesStraightFromOneSleeveToTheOther)
{
    // Enter the second before leaving the first, and the other way round.
    pile::Hover a;
    a.enter(u"one"_s);
    a.enter(u"two"_s);
    a.leave(u"one"_s);
    EXPECT_EQ(a.id(), u"two"_s);

    pile::Hover b;
    b.enter(u"one"_s);
    b.leave(u"one"_s);
    b.enter(u"two"_s);
    EXPECT_EQ(b.id(), u"two"_s);
    b.leave(u"two"_s);
    EXPECT_FALSE(b.id());
}

TEST(SleeveBackRules, FactsNoticesAndEscape)
{
    Record album = sampleRecord(u"a"_s, u"A"_s);
    EXPECT_EQ(sleeveback::factsLine(album, false), u"LP · 1978 · 33\u2153"_s);
    album.year.reset();
    EXPECT_EQ(sleeveback::factsLine(album, false), u"LP · 33\u2153"_s);
    Record playlist = sampleRecord(u"p"_s, u"P"_s, 2, Record::Kind::playlist);
    playlist.year.reset();
    EXPECT_EQ(sleeveback::factsLine(playlist, true), u"PLAYLIST · 45"_s);

    const Record two = sampleRecord(u"t"_s, u"T"_s, 2);
    EXPECT_EQ(sleeveback::sideOverNotice(two, 0), (sleeveback::SideOverNotice{u"Side A is over."_s, u"Flip it"_s, 1}));
    EXPECT_EQ(sleeveback::sideOverNotice(two, 1),
              (sleeveback::SideOverNotice{u"Side B is over."_s, u"Play side A"_s, 0}));
    EXPECT_FALSE(sleeveback::sideOverNotice(two, 2));
    EXPECT_FALSE(sleeveback::sideOverNotice(two, std::nullopt));
    const Record one = sampleRecord(u"o"_s, u"O"_s, 1);
    EXPECT_EQ(sleeveback::sideOverNotice(one, 0)->button, u"Play side A"_s);

    using sleeveback::Escape;
    using sleeveback::Face;
    EXPECT_EQ(sleeveback::escape(true, true), Escape::showRecord);
    EXPECT_EQ(sleeveback::escape(true, false), Escape::close);
    EXPECT_EQ(sleeveback::escape(false, true), Escape::close);
    EXPECT_EQ(sleeveback::face(false, false), Face::chooser);
    EXPECT_EQ(sleeveback::face(false, true), Face::record);
}

TEST(ReadoutText, TimesClampNegativePositions)
{
    EXPECT_EQ(readoutTime(65'000), u"01:05"_s);
    EXPECT_EQ(readoutTime(-3'000), u"00:00"_s);
    EXPECT_EQ(readoutTime(3'599'999), u"59:59"_s);
}
