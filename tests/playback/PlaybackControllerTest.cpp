#include "ScriptedEngine.h"
#include "TestSettings.h"

#include "core/ManualClock.h"
#include "playback/PlaybackController.h"

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;
using Status = PlaybackController::Status;

namespace {

QString uri(int i)
{
    return u"spotify:track:t"_s + QString::number(i);
}

// Two sides of three one-minute tracks: t0 t1 t2 | t3 t4 t5.
Record twoSides(QList<QString> uris = {})
{
    QList<Track> tracks;
    for (int i = 0; i < 6; ++i)
        tracks.append({uris.value(i, uri(i)), u"Song %1"_s.arg(i), u"Band"_s, 60'000});
    return Record::make(u"rec"_s, u"spotify:album:rec"_s, Record::Kind::album, u"Record"_s, u"Band"_s, std::nullopt,
                        std::nullopt, tracks);
}

class ControllerTest : public ::testing::Test {
protected:
    ControllerTest() { controller.setRecord(twoSides()); }

    // Starts and confirms a side, leaving the controller playing.
    void playConfirmed(qint64 side, qint64 track, qint64 offset = 0)
    {
        controller.start(side, track, offset, false);
        engine.sendState(false, offset, uri(int(side * 3 + track)));
        ASSERT_EQ(controller.status(), Status::playing);
    }

    ManualClock clock;
    ScriptedEngine engine{clock};
    TestSettings settings;
    PlaybackController controller{engine, clock, *settings};
};

} // namespace

TEST_F(ControllerTest, ConfirmedStartPlaysAndExtrapolatesThePosition)
{
    controller.start(0, 1, 5000, false);
    EXPECT_EQ(controller.status(), Status::starting);
    ASSERT_EQ(engine.plays.size(), 1u);
    EXPECT_EQ(engine.plays[0].uris, (QStringList{uri(0), uri(1), uri(2)}));
    EXPECT_EQ(engine.plays[0].startIndex, 1);
    EXPECT_EQ(engine.plays[0].positionMs, 5000);

    clock.advanceSeconds(0.5);
    engine.sendState(false, 5200, uri(1));
    EXPECT_EQ(controller.status(), Status::playing);
    EXPECT_EQ(controller.trackIndex(), 1);
    clock.advanceSeconds(2.25);
    EXPECT_EQ(controller.trackPosition(), 7450);
    EXPECT_EQ(controller.sidePosition(), 60'000 + 7450);
    EXPECT_EQ(controller.currentTrack()->uri, uri(1));

    // The engine moves on to the next track of the side.
    engine.sendState(false, 100, uri(2));
    EXPECT_EQ(controller.trackIndex(), 2);
    clock.advanceSeconds(100);
    EXPECT_EQ(controller.trackPosition(), 60'000) << "never beyond the track's length";
}

TEST_F(ControllerTest, InvalidStartsAreIgnored)
{
    for (auto [side, track] : {std::pair{-1, 0}, {2, 0}, {0, 3}, {1, -1}})
        controller.start(side, track, 0, false);
    EXPECT_EQ(controller.status(), Status::idle);
    EXPECT_TRUE(engine.plays.empty());
}

TEST_F(ControllerTest, AStartOvertakenByANewerOneIgnoresTheOldFailureAndStates)
{
    engine.answers.push_back({1.0, u"Old request failed"_s});
    engine.answers.push_back({0.5, std::nullopt});
    controller.start(0, 0, 0, false);
    clock.advanceSeconds(0.2);
    controller.start(1, 0, 0, false);

    clock.advanceSeconds(1.0); // the first request fails now
    EXPECT_EQ(controller.status(), Status::starting);
    EXPECT_FALSE(controller.lastError());

    engine.sendState(false, 800, uri(0)); // late news of the old side
    EXPECT_EQ(controller.status(), Status::starting);
    EXPECT_EQ(controller.sideIndex(), 1);

    engine.sendState(false, 300, uri(3));
    EXPECT_EQ(controller.status(), Status::playing);
    EXPECT_EQ(controller.trackIndex(), 0);
}

TEST_F(ControllerTest, TheLatestFailingStartReportsItsMessage)
{
    engine.answers.push_back({0.1, u"Spotify returned 500: oops"_s});
    controller.start(0, 0, 0, false);
    clock.advanceSeconds(0.2);
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_EQ(controller.lastError(), u"Spotify returned 500: oops"_s);
    // A later state of some other track no longer counts as a start.
    engine.sendState(false, 0, u"spotify:track:elsewhere"_s);
    EXPECT_EQ(controller.status(), Status::paused);
}

TEST_F(ControllerTest, PauseWhileStartingEndsPausedAtTheConfirmedPosition)
{
    controller.start(0, 2, 10'000, false);
    clock.advanceSeconds(0.3);
    controller.pause();
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_EQ(engine.pauses, 1);
    engine.sendState(false, 10'400, uri(2)); // the engine started anyway
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_EQ(engine.pauses, 2) << "silenced at once";
    EXPECT_EQ(controller.trackPosition(), 10'400);
    clock.advanceSeconds(5);
    EXPECT_EQ(controller.trackPosition(), 10'400);
}

TEST_F(ControllerTest, GivesUpAfterFifteenSecondsWithoutTheSide)
{
    controller.start(0, 0, 0, false);
    clock.advanceSeconds(14.9);
    engine.sendState(false, 3000, u"spotify:track:before"_s);
    EXPECT_EQ(controller.status(), Status::starting);
    clock.advanceSeconds(0.2);
    engine.sendState(false, 3200, u"spotify:track:before"_s);
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_EQ(controller.lastError(), u"Spotify didn't start the side. Try again."_s);
    EXPECT_EQ(engine.pauses, 1);
}

TEST_F(ControllerTest, MatchesRelinkedAndRepeatedTracks)
{
    controller.setRecord(twoSides({u"spotify:track:same"_s, u"spotify:track:x"_s, u"spotify:track:same"_s}));
    controller.start(0, 1, 0, false);
    engine.sendState(false, 0, u"spotify:track:relinked"_s, u"spotify:track:x"_s);
    EXPECT_EQ(controller.status(), Status::playing);
    EXPECT_EQ(controller.trackIndex(), 1);

    engine.sendState(false, 0, u"spotify:track:same"_s);
    EXPECT_EQ(controller.trackIndex(), 2) << "the occurrence at or after the current track";
    engine.sendState(false, 500, u"spotify:track:same"_s);
    EXPECT_EQ(controller.trackIndex(), 2);

    controller.start(0, 2, 0, false);
    engine.sendState(false, 0, u"spotify:track:same"_s);
    controller.start(0, 1, 0, false);
    engine.sendState(false, 0, u"spotify:track:x"_s);
    controller.setRecord(twoSides({u"spotify:track:same"_s, u"spotify:track:x"_s, u"spotify:track:y"_s}));
    engine.sendState(false, 0, u"spotify:track:same"_s);
    EXPECT_EQ(controller.trackIndex(), 0) << "all earlier: the first occurrence";
}

TEST_F(ControllerTest, ACommandedPauseIsRetriedOnceThenTheEngineIsBelieved)
{
    playConfirmed(0, 0);
    clock.advanceSeconds(10);
    controller.pause();
    const qint64 frozen = controller.trackPosition();
    EXPECT_EQ(frozen, 10'000);

    clock.advanceSeconds(1.0);
    engine.sendState(false, 11'000, uri(0)); // still playing, within the 2 s check
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_EQ(engine.pauses, 1);

    clock.advanceSeconds(1.5);
    engine.sendState(false, 12'500, uri(0)); // past 2 s: send the pause again
    EXPECT_EQ(engine.pauses, 2);
    EXPECT_EQ(controller.status(), Status::paused);

    clock.advanceSeconds(2.5);
    engine.sendState(false, 15'000, uri(0)); // still playing after the retry: accept it
    EXPECT_EQ(controller.status(), Status::playing);
    EXPECT_EQ(controller.trackPosition(), 15'000);
}

TEST_F(ControllerTest, AConfirmedPauseNearTheFrozenPositionKeepsIt)
{
    playConfirmed(0, 0);
    clock.advanceSeconds(10);
    controller.pause();
    engine.sendState(true, 10'900, uri(0));
    EXPECT_EQ(controller.trackPosition(), 10'000);
    controller.resume();
    EXPECT_EQ(engine.resumes, 1);
    EXPECT_EQ(controller.status(), Status::playing);
    engine.sendState(false, 10'050, uri(0));
    controller.pause();
    engine.sendState(true, 14'000, uri(0)); // far off: the engine's position wins
    EXPECT_EQ(controller.trackPosition(), 14'000);
}

TEST_F(ControllerTest, TheSideEndsWhenTheEngineLeavesIt)
{
    playConfirmed(0, 2);
    engine.sendState(false, 0, u"spotify:track:autoplay"_s);
    EXPECT_EQ(controller.status(), Status::sideEnded);
    EXPECT_EQ(engine.pauses, 1);
    EXPECT_EQ(controller.sidePosition(), 180'000);
    // A finished side stays silent.
    engine.sendState(false, 10, uri(2));
    EXPECT_EQ(controller.status(), Status::sideEnded);
    EXPECT_EQ(engine.pauses, 2);
}

TEST_F(ControllerTest, TheSideEndsWhenTheLastTrackReportsPausedAtZero)
{
    playConfirmed(0, 2, 50'000);
    clock.advanceSeconds(3); // 53 s of 60: not near enough the end
    engine.sendState(true, 0, uri(2));
    EXPECT_EQ(controller.status(), Status::paused);

    controller.resume();
    engine.sendState(false, 53'000, uri(2));
    clock.advanceSeconds(6.5);
    engine.sendState(true, 0, uri(2));
    EXPECT_EQ(controller.status(), Status::sideEnded);
}

TEST_F(ControllerTest, AutoFlipStartsTheNextSideButNeverWraps)
{
    controller.setAutoFlip(true);
    EXPECT_TRUE(settings->value(u"autoFlip"_s).toBool());
    playConfirmed(0, 2);
    engine.sendState(false, 0, u"spotify:track:elsewhere"_s);
    EXPECT_EQ(controller.status(), Status::starting);
    EXPECT_EQ(controller.sideIndex(), 1);
    EXPECT_EQ(engine.plays.back().uris.front(), uri(3));

    engine.sendState(false, 0, uri(3));
    engine.sendState(false, 0, uri(5));
    engine.sendState(false, 0, u"spotify:track:elsewhere"_s);
    EXPECT_EQ(controller.status(), Status::sideEnded);
    EXPECT_EQ(controller.sideIndex(), 1);

    // Toggling a finished last side wraps to side A.
    controller.togglePlayPause();
    EXPECT_EQ(controller.sideIndex(), 0);
    EXPECT_EQ(controller.status(), Status::starting);
}

TEST_F(ControllerTest, AutoFlipIsReadFromTheSettings)
{
    settings->setValue(u"autoFlip"_s, true);
    PlaybackController second(engine, clock, *settings);
    EXPECT_TRUE(second.autoFlip());
}

TEST_F(ControllerTest, PreviousAndNextTrack)
{
    struct Case {
        qint64 track;
        double secondsIn;
        qint64 startedTrack; // -1: a seek back within the track
    };
    for (const Case c : {Case{2, 2.9, 1}, Case{2, 3.1, -1}, Case{0, 1.0, -1}}) {
        playConfirmed(0, c.track);
        clock.advanceSeconds(c.secondsIn);
        const auto playsBefore = engine.plays.size();
        const auto seeksBefore = engine.seeks.size();
        controller.previousTrack();
        if (c.startedTrack >= 0) {
            ASSERT_EQ(engine.plays.size(), playsBefore + 1);
            EXPECT_EQ(engine.plays.back().startIndex, c.startedTrack);
        } else {
            EXPECT_EQ(engine.plays.size(), playsBefore) << c.track << " " << c.secondsIn;
            ASSERT_EQ(engine.seeks.size(), seeksBefore + 1);
            EXPECT_EQ(engine.seeks.back(), 0);
        }
    }

    playConfirmed(0, 2);
    controller.nextTrack();
    EXPECT_EQ(controller.sideIndex(), 1);
    playConfirmed(1, 2);
    controller.nextTrack();
    EXPECT_EQ(controller.sideIndex(), 0) << "past the last side wraps to A";
}

TEST_F(ControllerTest, SeekWithinATrackOrAcrossTracks)
{
    playConfirmed(0, 0);
    controller.seek(30'000);
    EXPECT_EQ(engine.seeks, std::vector<qint64>{30'000});
    EXPECT_EQ(controller.status(), Status::playing);
    EXPECT_EQ(controller.trackPosition(), 30'000);

    controller.pause();
    controller.seek(150'000);
    EXPECT_EQ(engine.plays.back().startIndex, 2);
    EXPECT_EQ(engine.plays.back().positionMs, 30'000);
    engine.sendState(false, 30'000, uri(2));
    EXPECT_EQ(controller.status(), Status::paused) << "a seek while paused stays paused";

    controller.seek(10'000'000);
    EXPECT_EQ(controller.trackPosition(), 59'999) << "clamped into the side";
}

TEST_F(ControllerTest, LostConnectionAndClearedFreezeThePosition)
{
    playConfirmed(0, 1);
    clock.advanceSeconds(4);
    engine.send(engine_event::NotReady{});
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_EQ(controller.lastError(), u"Lost the connection to Spotify."_s);
    clock.advanceSeconds(4);
    EXPECT_EQ(controller.trackPosition(), 4000);
    controller.resume(); // the engine lost our track: start again where we were
    EXPECT_EQ(controller.status(), Status::starting);
    EXPECT_EQ(engine.plays.back().startIndex, 1);
    EXPECT_EQ(engine.plays.back().positionMs, 4000);
    EXPECT_FALSE(controller.lastError());

    engine.sendState(false, 4000, uri(1));
    engine.send(engine_event::Cleared{});
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_FALSE(controller.lastError());

    controller.start(0, 0, 0, false);
    engine.send(engine_event::Error{u"Playback error: no device"_s});
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_EQ(controller.lastError(), u"Playback error: no device"_s);
}

TEST_F(ControllerTest, RemoteActionsRepeatedWithinAThirdOfASecondActOnce)
{
    playConfirmed(0, 0);
    engine.send(engine_event::Remote{RemoteAction::toggle()});
    EXPECT_EQ(controller.status(), Status::paused);
    clock.advanceSeconds(0.1);
    engine.send(engine_event::Remote{RemoteAction::toggle()});
    EXPECT_EQ(controller.status(), Status::paused);
    clock.advanceSeconds(0.1);
    controller.perform(RemoteAction::play()); // same key as toggle
    EXPECT_EQ(controller.status(), Status::paused);
    clock.advanceSeconds(0.35);
    controller.perform(RemoteAction::play());
    EXPECT_EQ(controller.status(), Status::playing);

    controller.perform(RemoteAction::seek(1000));
    controller.perform(RemoteAction::seek(2000));
    controller.perform(RemoteAction::seek(2000));
    EXPECT_EQ(engine.seeks, (std::vector<qint64>{1000, 2000}));

    clock.advanceSeconds(1);
    controller.perform(RemoteAction::play()); // already playing: nothing
    EXPECT_EQ(controller.status(), Status::playing);
    controller.perform(RemoteAction::next());
    controller.perform(RemoteAction::next());
    EXPECT_EQ(engine.plays.back().startIndex, 1);
    EXPECT_EQ(controller.trackIndex(), 1);
}
