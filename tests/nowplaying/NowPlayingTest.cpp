// The MPRIS player on the (private) session bus, read and driven by playerctl and gdbus.

#include "ScriptedEngine.h"
#include "TestSettings.h"

#include "core/ManualClock.h"
#include "nowplaying/NowPlaying.h"
#include "playback/PlaybackController.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QCoroTimer>
#include <QTest>

#include <gtest/gtest.h>

using namespace velloran;
using namespace velloran::test;
using namespace Qt::StringLiterals;
using Status = PlaybackController::Status;

namespace {

const QUrl coverUrl(u"https://covers.invalid/cover.png"_s);

QString uri(int i)
{
    return u"spotify:track:n"_s + QString::number(i);
}

// Two sides of three tracks of three minutes each.
Record twoSides()
{
    QList<Track> tracks;
    for (int i = 0; i < 6; ++i)
        tracks.append({uri(i), u"Song %1"_s.arg(i), u"Band %1"_s.arg(i), 180'000});
    return Record::make(u"rec-1"_s, u"spotify:album:rec"_s, Record::Kind::album, u"Record"_s, u"Band"_s, coverUrl,
                        std::nullopt, tracks);
}

QByteArray pngBytes()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    (void)buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Runs a command line without blocking the event loop, which must answer its D-Bus calls.
QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    (void)QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString playerctl(const QStringList &arguments)
{
    return runTool(u"playerctl"_s, QStringList{u"--player=velloran"_s} + arguments);
}

QString gdbusCall(const QString &method, const QStringList &arguments = {})
{
    return runTool(u"gdbus"_s, QStringList{u"call"_s, u"--session"_s, u"--dest"_s, u"org.mpris.MediaPlayer2.velloran"_s,
                                           u"--object-path"_s, u"/org/mpris/MediaPlayer2"_s, u"--method"_s, method}
                                   + arguments);
}

QString gdbusGet(const QString &interface, const QString &property)
{
    return gdbusCall(u"org.freedesktop.DBus.Properties.Get"_s, {interface, property});
}

QString playerProperty(const QString &property)
{
    return gdbusGet(u"org.mpris.MediaPlayer2.Player"_s, property);
}

class NowPlayingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "needs a session bus (ctest runs under dbus-run-session)";
        NowPlaying::Options options;
        options.artworkDirectory = artwork.path();
        options.download = [this](QUrl url) -> QCoro::Task<std::optional<QByteArray>> {
            downloads.append(url);
            co_await QCoro::sleepFor(std::chrono::milliseconds(50)); // a download takes a while
            co_return std::optional<QByteArray>(coverAnswer); // a copy: co_return would move the member
        };
        options.raise = [this] { ++raises; };
        nowPlaying = std::make_unique<NowPlaying>(controller, clock, QDBusConnection::sessionBus(), options);
        ASSERT_TRUE(nowPlaying->isRegistered());
    }

    // Starts and confirms a side, leaving the controller playing.
    void playConfirmed(qint64 side, qint64 track, qint64 offset = 0)
    {
        controller.start(side, track, offset, false);
        engine.sendState(false, offset, uri(int(side * 3 + track)));
        ASSERT_EQ(controller.status(), Status::playing);
        settle();
    }

    // Lets queued updates run.
    void settle() { QTest::qWait(20); }

    ManualClock clock;
    ScriptedEngine engine{clock};
    TestSettings settings;
    PlaybackController controller{engine, clock, *settings};
    QTemporaryDir artwork;
    QList<QUrl> downloads;
    std::optional<QByteArray> coverAnswer = pngBytes();
    int raises = 0;
    std::unique_ptr<NowPlaying> nowPlaying;
};

} // namespace

TEST_F(NowPlayingTest, TheRootInterfaceNamesTheProgram)
{
    EXPECT_EQ(gdbusGet(u"org.mpris.MediaPlayer2"_s, u"Identity"_s), u"(<'Velloran'>,)"_s);
    EXPECT_EQ(gdbusGet(u"org.mpris.MediaPlayer2"_s, u"DesktopEntry"_s), u"(<'velloran'>,)"_s);
    EXPECT_EQ(gdbusGet(u"org.mpris.MediaPlayer2"_s, u"CanRaise"_s), u"(<true>,)"_s);
    EXPECT_EQ(gdbusGet(u"org.mpris.MediaPlayer2"_s, u"HasTrackList"_s), u"(<false>,)"_s);
    runTool(u"gdbus"_s, {u"call"_s, u"--session"_s, u"--dest"_s, u"org.mpris.MediaPlayer2.velloran"_s,
                         u"--object-path"_s, u"/org/mpris/MediaPlayer2"_s, u"--method"_s,
                         u"org.mpris.MediaPlayer2.Raise"_s});
    EXPECT_EQ(raises, 1);
    EXPECT_EQ(playerctl({u"status"_s}), u"Stopped"_s);
}

TEST_F(NowPlayingTest, MetadataAndStatusFollowTheController)
{
    controller.setRecord(twoSides());
    settle();
    EXPECT_EQ(playerctl({u"status"_s}), u"Stopped"_s); // on the platter, needle up

    controller.start(1, 1, 0, false);
    settle();
    // Starting counts as playing, but the desktop's clock waits for the engine.
    EXPECT_EQ(playerctl({u"status"_s}), u"Playing"_s);
    EXPECT_EQ(playerProperty(u"Rate"_s), u"(<0.0>,)"_s);
    engine.sendState(false, 0, uri(4));
    settle();

    EXPECT_EQ(playerctl({u"metadata"_s, u"--format"_s, u"{{title}}|{{artist}}|{{album}}|{{mpris:length}}"_s}),
              u"Song 4|Band 4|Record \u00B7 Side B|180000000"_s);
    const QString metadata = gdbusGet(u"org.mpris.MediaPlayer2.Player"_s, u"Metadata"_s);
    EXPECT_TRUE(metadata.contains("'mpris:trackid': <objectpath '/app/velloran/record/rec_1/side1/track1'>"_L1))
        << metadata.toStdString();
    EXPECT_TRUE(metadata.contains("'xesam:artist': <['Band 4']>"_L1)) << metadata.toStdString();
    EXPECT_TRUE(metadata.contains("'mpris:length': <int64 180000000>"_L1)) << metadata.toStdString();
    EXPECT_EQ(gdbusGet(u"org.mpris.MediaPlayer2.Player"_s, u"Rate"_s), u"(<1.0>,)"_s);

    clock.advanceSeconds(12.5);
    EXPECT_EQ(gdbusGet(u"org.mpris.MediaPlayer2.Player"_s, u"Position"_s), u"(<int64 12500000>,)"_s);

    controller.pause();
    settle();
    EXPECT_EQ(playerctl({u"status"_s}), u"Paused"_s);
    EXPECT_EQ(playerProperty(u"Rate"_s), u"(<0.0>,)"_s);

    // The last track ends: the side is over and the desktop sees the player stopped.
    controller.setAutoFlip(false);
    controller.start(1, 2, 178'000, false);
    engine.sendState(false, 178'000, uri(5));
    clock.advanceSeconds(2.0);
    engine.sendState(true, 0, uri(5));
    ASSERT_EQ(controller.status(), Status::sideEnded);
    settle();
    EXPECT_EQ(playerctl({u"status"_s}), u"Stopped"_s);
}

TEST_F(NowPlayingTest, TransportIsOfferedFromTheStart)
{
    for (const QString &capability : {u"CanPlay"_s, u"CanPause"_s, u"CanGoNext"_s, u"CanGoPrevious"_s, u"CanSeek"_s,
                                      u"CanControl"_s})
        EXPECT_EQ(playerProperty(capability), u"(<true>,)"_s) << capability.toStdString();
    EXPECT_EQ(playerProperty(u"Rate"_s), u"(<0.0>,)"_s);
    // Commands that find nothing to play change nothing.
    playerctl({u"play"_s});
    playerctl({u"next"_s});
    settle();
    EXPECT_EQ(controller.status(), Status::idle);
    EXPECT_TRUE(engine.plays.empty());
}

TEST_F(NowPlayingTest, QuickPlayPausesToggleWhatWasCommandedAndRateZeroPauses)
{
    controller.setRecord(twoSides());
    playConfirmed(0, 0, 10'000);
    const auto toggles = [&](int count) {
        for (int i = 0; i < count; ++i)
            gdbusCall(u"org.mpris.MediaPlayer2.Player.PlayPause"_s);
        settle();
    };

    // The clock stands still, so these all come within a moment of each other.
    toggles(2);
    EXPECT_EQ(controller.status(), Status::playing);
    EXPECT_EQ(engine.pauses, 1);
    EXPECT_EQ(engine.resumes, 1);
    toggles(4);
    EXPECT_EQ(controller.status(), Status::playing);
    toggles(3);
    EXPECT_EQ(controller.status(), Status::paused);
    toggles(1);
    ASSERT_EQ(controller.status(), Status::playing);

    gdbusCall(u"org.freedesktop.DBus.Properties.Set"_s,
              {u"org.mpris.MediaPlayer2.Player"_s, u"Rate"_s, u"<0.0>"_s});
    (void)QTest::qWaitFor([&] { return controller.status() == Status::paused; }, 5000);
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_EQ(playerctl({u"status"_s}), u"Paused"_s);
    // Another rate is not a command: the deck has one speed.
    gdbusCall(u"org.freedesktop.DBus.Properties.Set"_s,
              {u"org.mpris.MediaPlayer2.Player"_s, u"Rate"_s, u"<1.0>"_s});
    settle();
    EXPECT_EQ(controller.status(), Status::paused);
}

TEST_F(NowPlayingTest, CommandsReachTheController)
{
    controller.setRecord(twoSides());
    playConfirmed(0, 1, 30'000);

    playerctl({u"play-pause"_s});
    (void)QTest::qWaitFor([&] { return controller.status() == Status::paused; }, 5000);
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_EQ(engine.pauses, 1);

    clock.advanceSeconds(1.0);
    playerctl({u"play"_s});
    (void)QTest::qWaitFor([&] { return controller.status() == Status::playing; }, 5000);
    EXPECT_EQ(engine.resumes, 1);

    // An absolute position within the track (83.4567 s) becomes a seek to 83456 ms.
    clock.advanceSeconds(1.0);
    runTool(u"gdbus"_s, {u"call"_s, u"--session"_s, u"--dest"_s, u"org.mpris.MediaPlayer2.velloran"_s,
                         u"--object-path"_s, u"/org/mpris/MediaPlayer2"_s, u"--method"_s,
                         u"org.mpris.MediaPlayer2.Player.SetPosition"_s,
                         u"/app/velloran/record/rec_1/side0/track1"_s, u"83456700"_s});
    (void)QTest::qWaitFor([&] { return !engine.seeks.empty(); }, 5000);
    EXPECT_EQ(engine.seeks, std::vector<qint64>{83'456});

    // A SetPosition for another track is ignored, as MPRIS asks.
    clock.advanceSeconds(1.0);
    runTool(u"gdbus"_s, {u"call"_s, u"--session"_s, u"--dest"_s, u"org.mpris.MediaPlayer2.velloran"_s,
                         u"--object-path"_s, u"/org/mpris/MediaPlayer2"_s, u"--method"_s,
                         u"org.mpris.MediaPlayer2.Player.SetPosition"_s,
                         u"/app/velloran/record/rec_1/side0/track2"_s, u"1000000"_s});
    settle();
    EXPECT_EQ(engine.seeks.size(), 1u);

    // A relative seek goes from the current position.
    clock.advanceSeconds(1.0);
    playerctl({u"position"_s, u"10+"_s});
    (void)QTest::qWaitFor([&] { return engine.seeks.size() == 2; }, 5000);
    ASSERT_EQ(engine.seeks.size(), 2u);
    EXPECT_EQ(engine.seeks[1], 83'456 + 2000 + 10'000); // two seconds ran on since the first seek

    clock.advanceSeconds(1.0);
    const size_t plays = engine.plays.size();
    playerctl({u"next"_s});
    (void)QTest::qWaitFor([&] { return engine.plays.size() == plays + 1; }, 5000);
    ASSERT_EQ(engine.plays.size(), plays + 1);
    EXPECT_EQ(engine.plays.back().startIndex, 2);

    clock.advanceSeconds(1.0);
    playerctl({u"previous"_s}); // at 0 s into track 2: back to track 1
    (void)QTest::qWaitFor([&] { return engine.plays.size() == plays + 2; }, 5000);
    ASSERT_EQ(engine.plays.size(), plays + 2);
    EXPECT_EQ(engine.plays.back().startIndex, 1);
}

TEST_F(NowPlayingTest, ChangesConfirmedStartsAndJumpsAreSignalled)
{
    QProcess monitor;
    monitor.start(u"dbus-monitor"_s, {u"--session"_s, u"type='signal',path='/org/mpris/MediaPlayer2'"_s});
    ASSERT_TRUE(monitor.waitForStarted());
    QTest::qWait(300);

    controller.setRecord(twoSides());
    // A side started at 1:00 waits for the engine with the clock standing; the engine
    // confirms it a little later in the track.
    controller.start(0, 0, 60'000, false);
    settle();
    clock.advanceSeconds(0.5);
    engine.sendState(false, 60'400, uri(0));
    settle();
    clock.advanceSeconds(1.0);
    controller.seek(100'000); // a jump within the track
    settle();
    // Every confirmed start says where it stands, also at a track's beginning.
    clock.advanceSeconds(1.0);
    controller.nextTrack();
    engine.sendState(false, 0, uri(1));
    settle();
    QTest::qWait(300);
    monitor.terminate();
    (void)monitor.waitForFinished(3000);

    const QString log = QString::fromUtf8(monitor.readAllStandardOutput());
    EXPECT_TRUE(log.contains("member=PropertiesChanged"_L1)) << log.toStdString();
    EXPECT_TRUE(log.contains("\"PlaybackStatus\""_L1)) << log.toStdString();
    EXPECT_TRUE(log.contains("\"Metadata\""_L1)) << log.toStdString();
    EXPECT_TRUE(log.contains("\"Rate\""_L1)) << log.toStdString();
    const QStringList seeked = log.split(u"member=Seeked"_s).mid(1);
    ASSERT_EQ(seeked.size(), 3) << log.toStdString();
    EXPECT_TRUE(seeked[0].contains("int64 60400000"_L1)) << log.toStdString();
    EXPECT_TRUE(seeked[1].contains("int64 100000000"_L1)) << log.toStdString();
    EXPECT_TRUE(seeked[2].contains("int64 0"_L1)) << log.toStdString();
}

TEST_F(NowPlayingTest, TheCoverIsFetchedOnceAndPublishedAsAFile)
{
    controller.setRecord(twoSides());
    playConfirmed(0, 0);
    nowPlaying->update();
    nowPlaying->update();
    (void)QTest::qWaitFor([&] { return nowPlaying->cachedArtwork().has_value(); }, 5000);
    settle();
    EXPECT_EQ(downloads, QList<QUrl>{coverUrl});
    ASSERT_TRUE(nowPlaying->cachedArtwork());
    const QUrl art = *nowPlaying->cachedArtwork();
    EXPECT_TRUE(art.isLocalFile());
    EXPECT_TRUE(QFile::exists(art.toLocalFile()));
    EXPECT_TRUE(art.toLocalFile().startsWith(artwork.path()));
    EXPECT_EQ(playerctl({u"metadata"_s, u"mpris:artUrl"_s}), art.toString());
}

TEST_F(NowPlayingTest, ACoverThatIsNotAnImageIsTriedAgainLater)
{
    coverAnswer = QByteArray("<html>not a cover</html>");
    controller.setRecord(twoSides());
    playConfirmed(0, 0);
    nowPlaying->update();
    QTest::qWait(200);
    EXPECT_FALSE(nowPlaying->cachedArtwork());
    EXPECT_FALSE(nowPlaying->metadata().contains(u"mpris:artUrl"_s));
    const qsizetype tries = downloads.size();
    EXPECT_GE(tries, 1);

    coverAnswer = pngBytes();
    nowPlaying->update();
    (void)QTest::qWaitFor([&] { return nowPlaying->cachedArtwork().has_value(); }, 5000);
    settle();
    EXPECT_EQ(downloads.size(), tries + 1);
    EXPECT_TRUE(nowPlaying->metadata().contains(u"mpris:artUrl"_s));
}
