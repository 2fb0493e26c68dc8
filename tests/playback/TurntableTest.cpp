#include "ScriptedEngine.h"
#include "TestSettings.h"

#include "core/ManualClock.h"
#include "playback/StageGeometry.h"
#include "playback/Turntable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;
using Status = PlaybackController::Status;
using Place = Turntable::Place;

namespace {

// Two sides of two tracks of 100 s each.
Record makeRecord(const QString &id)
{
    QList<Track> tracks;
    for (int i = 0; i < 4; ++i)
        tracks.append({u"spotify:track:%1-%2"_s.arg(id).arg(i), u"Song %1"_s.arg(i), u"Band"_s, 100'000});
    return Record::make(id, u"spotify:album:"_s + id, Record::Kind::album, u"Title "_s + id, u"Band"_s, std::nullopt,
                        std::nullopt, tracks);
}

// The arm angle whose stylus lies at a distance r from the platter's centre.
double angleForRadius(double r)
{
    double low = -6, high = 58;
    for (int i = 0; i < 60; ++i) {
        const double mid = (low + high) / 2;
        const auto [x, y] = Turntable::stylusPosition(mid);
        if (std::hypot(x - stage::platterCentre.x(), y - stage::platterCentre.y()) > r)
            low = mid;
        else
            high = mid;
    }
    return (low + high) / 2;
}

class TurntableTest : public ::testing::Test {
protected:
    void settle() { clock.settle(); }
    void advance(double seconds) { clock.advanceSeconds(seconds); }

    // The engine confirms whatever the controller last asked it to play.
    void confirm(qint64 positionMs = 0)
    {
        ASSERT_FALSE(engine.plays.empty());
        const auto &call = engine.plays.back();
        engine.sendState(false, positionMs, call.uris.at(call.startIndex));
        settle();
    }

    // A record seated on the platter and playing side A.
    void playing(const Record &record)
    {
        turntable.load(record, false);
        advance(0.3 + 1.6);
        confirm();
        ASSERT_EQ(controller.status(), Status::playing);
        ASSERT_TRUE(turntable.isOnCurrentSide());
    }

    ManualClock clock;
    ScriptedEngine engine{clock};
    TestSettings settings;
    PlaybackController controller{engine, clock, *settings};
    Turntable turntable{controller, clock, *settings};
};

} // namespace

TEST_F(TurntableTest, LoadingARecordWhileAnotherPlays)
{
    const Record first = makeRecord(u"first"_s);
    const Record second = makeRecord(u"second"_s);
    playing(first);
    const auto playsBefore = engine.plays.size();

    turntable.load(second, true);
    EXPECT_EQ(turntable.incoming(), Turntable::Incoming::holding);
    EXPECT_TRUE(turntable.armParked());
    EXPECT_FALSE(turntable.motor());
    EXPECT_EQ(controller.status(), Status::paused);

    advance(0.9); // arm parked: the disc starts back into its sleeve
    ASSERT_TRUE(turntable.discMove());
    EXPECT_EQ(turntable.discMove()->kind, DiscMove::Kind::in);
    EXPECT_EQ(turntable.place(), Place::platter);
    advance(1.36 - 0.001);
    EXPECT_EQ(turntable.place(), Place::platter);
    advance(0.001);
    EXPECT_EQ(turntable.place(), Place::sleeve);
    EXPECT_TRUE(turntable.sleeveAway());
    EXPECT_EQ(turntable.record()->id, u"first"_s);

    advance(0.45); // the old sleeve has gone; the new one arrives
    EXPECT_EQ(turntable.record()->id, u"second"_s);
    EXPECT_TRUE(turntable.sleeveArriving());
    EXPECT_FALSE(turntable.sleeveAway());
    EXPECT_EQ(turntable.incoming(), Turntable::Incoming::landing);
    advance(0.75);
    EXPECT_FALSE(turntable.sleeveArriving());
    EXPECT_FALSE(turntable.incoming());
    advance(0.15); // the disc comes out
    ASSERT_TRUE(turntable.discMove());
    EXPECT_EQ(turntable.discMove()->kind, DiscMove::Kind::out);
    EXPECT_TRUE(turntable.power());
    EXPECT_TRUE(turntable.motor());
    EXPECT_EQ(engine.plays.size(), playsBefore);

    advance(1.6 * landingFraction(DiscMove::Kind::out));
    EXPECT_TRUE(turntable.sleeveEmpty());
    advance(1.6 * (1 - landingFraction(DiscMove::Kind::out)));
    EXPECT_TRUE(turntable.settled());
    EXPECT_FALSE(turntable.discMove());
    ASSERT_EQ(engine.plays.size(), playsBefore + 1);
    EXPECT_EQ(engine.plays.back().uris.front(), u"spotify:track:second-0"_s);
    EXPECT_EQ(controller.record()->id, u"second"_s);
    EXPECT_EQ(controller.status(), Status::starting);
    EXPECT_FALSE(turntable.armParked());
}

// A sleeve on its way to the table that something else overtakes must not stay "arriving"
// for good: the flying sleeve over the scenes would wait beside the deck for ever.
TEST_F(TurntableTest, ASupersededArrivalClearsItsFlags)
{
    const Record first = makeRecord(u"first"_s);
    const Record second = makeRecord(u"second"_s);
    const Record third = makeRecord(u"third"_s);
    const struct {
        const char *what;
        bool anotherPlaying; // the arrival waits beside the table ("holding") while it is stowed
        double after;        // seconds into the arrival when the new gesture comes
        std::function<void(Turntable &)> gesture;
    } cases[] = {
        {"play while landing", false, 0.3, [](Turntable &t) { t.play(0, true, 0); }},
        {"place while holding", true, 0.5, [&](Turntable &t) { t.place(third); }},
        {"place while the old sleeve leaves", true, 0.9 + 1.36 + 0.2, [&](Turntable &t) { t.place(third); }},
        {"start/stop while holding", true, 0.5, [](Turntable &t) { t.startStop(); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ManualClock clock;
        ScriptedEngine engine{clock};
        TestSettings settings;
        PlaybackController controller{engine, clock, *settings};
        Turntable turntable{controller, clock, *settings};
        if (c.anotherPlaying) {
            turntable.load(first, false);
            clock.advanceSeconds(0.3 + 1.6);
        }
        turntable.load(second, true);
        EXPECT_TRUE(turntable.incoming());
        clock.advanceSeconds(c.after);
        c.gesture(turntable);
        clock.advanceSeconds(5);
        EXPECT_FALSE(turntable.incoming());
        EXPECT_FALSE(turntable.sleeveArriving());
        EXPECT_FALSE(turntable.sleeveAway());
    }

    // A newer arrival takes the flags over: the older one, when it notices, leaves them alone.
    turntable.load(second, true);
    advance(0.1);
    turntable.load(third, true);
    EXPECT_EQ(turntable.incoming(), Turntable::Incoming::holding);
    EXPECT_TRUE(turntable.sleeveAway());
    advance(0.5); // the old sleeve has gone; the new one lands
    EXPECT_EQ(turntable.record()->id, u"third"_s);
    EXPECT_EQ(turntable.incoming(), Turntable::Incoming::landing);
    advance(0.2); // the first arrival's wait ends: it was overtaken
    EXPECT_EQ(turntable.incoming(), Turntable::Incoming::landing);
    EXPECT_TRUE(turntable.sleeveArriving());
    advance(0.6);
    EXPECT_FALSE(turntable.incoming());
    EXPECT_FALSE(turntable.sleeveArriving());
}

TEST_F(TurntableTest, OnlyTheSecondOfTwoQuickPlayGesturesPlays)
{
    turntable.place(makeRecord(u"r"_s));
    settle();
    turntable.play(1, false, 0);
    advance(0.2);
    turntable.play(0, false, 1);
    advance(0.1);
    ASSERT_EQ(engine.plays.size(), 0u) << "the disc is still on its way";
    advance(1.3); // the first move lands; the first gesture ends here
    ASSERT_EQ(engine.plays.size(), 1u);
    EXPECT_EQ(engine.plays[0].uris.front(), u"spotify:track:r-0"_s);
    EXPECT_EQ(engine.plays[0].startIndex, 1);
    EXPECT_TRUE(turntable.settled());
    EXPECT_EQ(turntable.faceUp(), 0);
    advance(2);
    EXPECT_EQ(engine.plays.size(), 1u);
    confirm();
    EXPECT_TRUE(turntable.isOnCurrentSide());
}

TEST_F(TurntableTest, ReleasingTheArmMapsTheRadiusToTheSide)
{
    const Record record = makeRecord(u"r"_s);
    playing(record);

    turntable.releaseArm(angleForRadius(210)); // beyond the grooves
    EXPECT_TRUE(turntable.armParked());
    EXPECT_EQ(controller.status(), Status::paused);
    const auto playsBefore = engine.plays.size();

    turntable.releaseArm(angleForRadius(204)); // the lead-in: start of the side
    EXPECT_FALSE(turntable.armParked());
    EXPECT_EQ(controller.sideIndex(), 0);
    ASSERT_EQ(engine.plays.size(), playsBefore) << "same track, engine has it: seek and resume";
    EXPECT_EQ(engine.seeks.back(), 0);
    EXPECT_EQ(controller.status(), Status::playing);

    turntable.releaseArm(angleForRadius(86)); // the run-out: 1 ms before the end
    EXPECT_EQ(engine.plays.back().startIndex, 1);
    EXPECT_EQ(engine.plays.back().positionMs, 99'999);

    turntable.releaseArm(angleForRadius(143)); // half way
    confirm();
    const qint64 expected = static_cast<qint64>((200 - 143.0) / 114 * 200'000);
    EXPECT_NEAR(static_cast<double>(controller.sidePosition()), static_cast<double>(expected), 2.0);
}

TEST_F(TurntableTest, DroppingTheNeedleOnAPausedSidePlays)
{
    playing(makeRecord(u"r"_s));
    turntable.cue();
    EXPECT_EQ(controller.status(), Status::paused);
    turntable.releaseArm(angleForRadius(100)); // onto the second track
    EXPECT_EQ(controller.status(), Status::starting);
    confirm(5000);
    EXPECT_EQ(controller.status(), Status::playing);
}

TEST_F(TurntableTest, TheMotorStopsNinetySecondsIntoAPause)
{
    playing(makeRecord(u"r"_s));
    turntable.cue();
    settle();
    advance(89);
    EXPECT_TRUE(turntable.motor());
    turntable.cue(); // resumed before the 90 s
    settle();
    advance(60);
    controller.pause();
    settle();
    advance(89.9);
    EXPECT_TRUE(turntable.motor());
    advance(0.1);
    EXPECT_FALSE(turntable.motor());
    EXPECT_TRUE(turntable.power());
}

TEST_F(TurntableTest, PowerAndStartStop)
{
    playing(makeRecord(u"r"_s));
    turntable.togglePower();
    EXPECT_FALSE(turntable.power());
    EXPECT_FALSE(turntable.motor());
    EXPECT_EQ(controller.status(), Status::paused);
    turntable.togglePower();
    EXPECT_TRUE(turntable.power());
    EXPECT_FALSE(turntable.motor()) << "switching on does not start the platter";

    turntable.startStop(); // a paused side on the platter resumes
    EXPECT_EQ(controller.status(), Status::playing);
    EXPECT_TRUE(turntable.motor());
    turntable.startStop();
    EXPECT_FALSE(turntable.motor());
    EXPECT_TRUE(turntable.armParked());
}

TEST_F(TurntableTest, AutoFlipTurnsTheDiscWhileSideBStarts)
{
    controller.setAutoFlip(true);
    playing(makeRecord(u"r"_s));
    engine.sendState(false, 0, u"spotify:track:somewhere-else"_s);
    EXPECT_EQ(controller.sideIndex(), 1);
    settle();
    EXPECT_TRUE(turntable.flipping());
    advance(0.462);
    EXPECT_EQ(turntable.faceUp(), 1);
    advance(0.462);
    EXPECT_FALSE(turntable.flipping());
    confirm();
    EXPECT_TRUE(turntable.isOnCurrentSide());
}

TEST_F(TurntableTest, ASideEndingWithoutAutoFlipLeavesTheNeedleInTheRunOut)
{
    playing(makeRecord(u"r"_s));
    engine.sendState(false, 0, u"spotify:track:somewhere-else"_s);
    settle();
    EXPECT_EQ(turntable.sideOver(), 0);
    EXPECT_FALSE(turntable.motor());
}

TEST_F(TurntableTest, FollowsARecordTheControllerAdopts)
{
    playing(makeRecord(u"first"_s));
    const Record other = makeRecord(u"other"_s);
    controller.setRecord(other);
    controller.start(1, 0, 0, false);
    settle();
    advance(1.36); // back into its sleeve without parking first
    EXPECT_EQ(turntable.record()->id, u"other"_s);
    EXPECT_EQ(turntable.faceUp(), 1);
    advance(1.6);
    EXPECT_TRUE(turntable.settled());
    confirm();
    EXPECT_TRUE(turntable.isOnCurrentSide());
}

TEST_F(TurntableTest, PlacingAndPuttingAway)
{
    const Record record = makeRecord(u"r"_s);
    turntable.place(record);
    settle();
    EXPECT_EQ(turntable.record()->id, u"r"_s);
    EXPECT_EQ(turntable.place(), Place::sleeve);
    EXPECT_TRUE(engine.plays.empty());
    turntable.place(record); // already there: nothing
    EXPECT_EQ(turntable.record()->id, u"r"_s);

    turntable.play(1, false, 1);
    advance(1.6 + 0.924);
    EXPECT_EQ(turntable.faceUp(), 1);
    EXPECT_EQ(engine.plays.back().startIndex, 1);
    confirm();

    bool done = false;
    [](Turntable &t, bool &flag) -> QCoro::Task<> {
        co_await t.putAway();
        flag = true;
    }(turntable, done);
    advance(0.9 + 1.36);
    EXPECT_TRUE(done);
    EXPECT_EQ(turntable.place(), Place::sleeve);
    EXPECT_EQ(turntable.faceUp(), 0);
    EXPECT_FALSE(turntable.sleeveEmpty());
    EXPECT_EQ(controller.status(), Status::paused);
}

TEST_F(TurntableTest, SpeedAndPitch)
{
    EXPECT_DOUBLE_EQ(turntable.rpm(), 100.0 / 3.0);
    turntable.setAt45(true);
    turntable.setPitch(8);
    EXPECT_DOUBLE_EQ(turntable.rpm(), 45 * 1.08);
    EXPECT_TRUE(settings->value(u"deckAt45"_s).toBool());
    Turntable again(controller, clock, *settings);
    EXPECT_TRUE(again.at45());
}

TEST(DiscMove, PoseFollowsThePath)
{
    const DiscPose start = DiscMove::pose(DiscMove::Kind::out, 0);
    EXPECT_DOUBLE_EQ(start.x, 285);
    EXPECT_DOUBLE_EQ(start.y, 470);
    EXPECT_NEAR(start.scale, 0.74, 1e-12);
    EXPECT_FALSE(start.overPlatter);
    const DiscPose end = DiscMove::pose(DiscMove::Kind::out, 1);
    EXPECT_DOUBLE_EQ(end.x, 810);
    EXPECT_DOUBLE_EQ(end.y, 490);
    EXPECT_NEAR(end.scale, 1.0, 1e-9);
    EXPECT_TRUE(end.overPlatter);
    EXPECT_DOUBLE_EQ(DiscMove::pose(DiscMove::Kind::in, 0.25).x, DiscMove::pose(DiscMove::Kind::out, 0.75).x);
    const double out = landingFraction(DiscMove::Kind::out);
    const double in = landingFraction(DiscMove::Kind::in);
    EXPECT_GT(out, 0.3);
    EXPECT_LT(out, 0.9);
    EXPECT_TRUE(DiscMove::pose(DiscMove::Kind::out, out).overPlatter);
    EXPECT_FALSE(DiscMove::pose(DiscMove::Kind::out, out - 1.0 / 400).overPlatter);
    EXPECT_FALSE(DiscMove::pose(DiscMove::Kind::in, in).overPlatter);
    EXPECT_NEAR(in, 1 - out, 1.0 / 200);
}
