// The engine with the real Qt WebEngine, the real player page and the stand-in SDK.

#include "StandinFixture.h"

#include "core/Clock.h"
#include "TestSettings.h"

#include "playback/EngineError.h"
#include "playback/PlaybackController.h"
#include "webplayer/WebEngineSetup.h"
#include "webplayer/WebPlaybackEngine.h"

#include <QCoroTask>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velloran;
using velloran::test::fixtureTrackURI;

namespace {

// The web engine reads its switches at its first use; the tests run as root, where
// Chromium's sandbox cannot start.
const bool webEnginePrepared = [] {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    prepareWebEngine();
    return true;
}();

constexpr int pageTimeoutMs = 30000;

struct EngineHarness {
    explicit EngineHarness(WebPlaybackEngine::Options options = {})
    {
        if (options.sdkUrl.isEmpty())
            options.sdkUrl = standin.sdkUrl();
        engine = std::make_unique<WebPlaybackEngine>(standin.services(), SystemClock::shared(), std::move(options));
        engine->onEvent = [this](const EngineEvent &event) { events.push_back(event); };
    }

    template<typename T>
    std::vector<T> eventsOf() const
    {
        std::vector<T> found;
        for (const auto &event : events) {
            if (const auto *e = std::get_if<T>(&event))
                found.push_back(*e);
        }
        return found;
    }

    bool waitForReady()
    {
        engine->start();
        return QTest::qWaitFor([this] { return engine->deviceID().has_value(); }, pageTimeoutMs);
    }

    // Waits for a state event satisfying `accept`, looking only at events after `from`.
    std::optional<EngineState> waitForState(std::function<bool(const EngineState &)> accept, size_t from = 0,
                                            int timeoutMs = 10000)
    {
        std::optional<EngineState> found;
        (void)QTest::qWaitFor(
            [&] {
                for (size_t i = from; i < events.size(); ++i) {
                    if (const auto *s = std::get_if<engine_event::State>(&events[i]); s && accept(s->state)) {
                        found = s->state;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return found;
    }

    QVariant evaluate(const QString &script)
    {
        std::optional<QVariant> result;
        engine->page()->runJavaScript(script, [&](const QVariant &value) { result = value; });
        (void)QTest::qWaitFor([&] { return result.has_value(); }, pageTimeoutMs);
        return result.value_or(QVariant());
    }

    // Runs a coroutine to its end on the event loop; returns its failure text, if any.
    std::optional<QString> run(QCoro::Task<> task)
    {
        bool done = false;
        std::optional<QString> failure;
        [](QCoro::Task<> inner, bool &finished, std::optional<QString> &error) -> QCoro::Task<> {
            try {
                co_await std::move(inner);
            } catch (const UserFacingError &e) {
                error = e.message();
            } catch (const std::exception &e) {
                error = QString::fromUtf8(e.what());
            }
            finished = true;
        }(std::move(task), done, failure);
        (void)QTest::qWaitFor([&] { return done; }, pageTimeoutMs);
        return failure;
    }

    QStringList commandPaths() const { return standin.commandPaths(); }

    void failNext(const QString &path, int status, int times = 1)
    {
        standin::Fault fault;
        fault.status = status;
        fault.times = times;
        standin.server().faults().add(u"/v1/"_s + path, fault);
    }

    mutable test::StandinFixture standin;
    std::unique_ptr<WebPlaybackEngine> engine;
    std::vector<EngineEvent> events;
};

QStringList uris(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(fixtureTrackURI(i));
    return list;
}

} // namespace

TEST(WebPlaybackEngine, PageRegistersADeviceWithTheServiceAndReportsReady)
{
    EngineHarness harness;
    ASSERT_TRUE(harness.waitForReady());

    EXPECT_EQ(harness.eventsOf<engine_event::Ready>().size(), 1u);
    EXPECT_EQ(harness.standin.player().deviceIDs(), QStringList{*harness.engine->deviceID()});
    EXPECT_GE(harness.standin.tokenRequests, 1); // the page's token came through token_request
    EXPECT_TRUE(harness.eventsOf<engine_event::Error>().empty());

    // The page keeps its storage across runs.
    EXPECT_FALSE(harness.engine->page()->profile()->isOffTheRecord());

    const QString agent = harness.evaluate(u"navigator.userAgent"_s).toString();
    EXPECT_FALSE(agent.contains("QtWebEngine"_L1)) << agent.toStdString();
    EXPECT_TRUE(agent.contains("Chrome/"_L1)) << agent.toStdString();

    // A second start while started is ignored: still one page, one device.
    harness.engine->start();
    QTest::qWait(300);
    EXPECT_EQ(harness.standin.player().deviceIDs().size(), 1);
}

TEST(WebPlaybackEngine, PlaysAQueueToItsEndLikeTheService)
{
    EngineHarness harness;
    ASSERT_TRUE(harness.waitForReady());

    ASSERT_FALSE(harness.run(harness.engine->play(uris(2), 1, 1200)));

    const auto started = harness.waitForState([](const EngineState &s) { return !s.paused; });
    ASSERT_TRUE(started);
    EXPECT_EQ(started->trackURI, fixtureTrackURI(1));
    EXPECT_EQ(started->durationMs, 2000);
    EXPECT_GE(started->positionMs, 1200);
    EXPECT_EQ(started->previousURIs, QStringList{fixtureTrackURI(0)});

    // The last track ends: the service reports it paused at 0, still on that track.
    const auto ended = harness.waitForState([](const EngineState &s) { return s.paused; });
    ASSERT_TRUE(ended);
    EXPECT_EQ(ended->trackURI, fixtureTrackURI(1));
    EXPECT_EQ(ended->positionMs, 0);
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(ended->receivedAt - started->receivedAt).count(),
              600);

    EXPECT_EQ(harness.commandPaths(),
              (QStringList{u"me/player/play"_s, u"me/player/shuffle"_s, u"me/player/repeat"_s}));
    const standin::Request *play = harness.standin.server().lastRequest(u"/v1/me/player/play"_s);
    ASSERT_TRUE(play);
    EXPECT_EQ(play->query.queryItemValue(u"device_id"_s), *harness.engine->deviceID());
    const QJsonObject body = QJsonDocument::fromJson(play->body).object();
    EXPECT_EQ(body.value("uris"_L1).toArray(), QJsonArray::fromStringList(uris(2)));
    EXPECT_EQ(body.value("offset"_L1).toObject().value("position"_L1).toInt(), 1);
    EXPECT_EQ(body.value("position_ms"_L1).toInt(), 1200);
    for (const QString &path : {u"/v1/me/player/shuffle"_s, u"/v1/me/player/repeat"_s})
        EXPECT_EQ(harness.standin.server().lastRequest(path)->query.queryItemValue(u"device_id"_s),
                  *harness.engine->deviceID());
    EXPECT_EQ(harness.standin.server().lastRequest(u"/v1/me/player/shuffle"_s)->query.queryItemValue(u"state"_s),
              u"false"_s);
    EXPECT_EQ(harness.standin.server().lastRequest(u"/v1/me/player/repeat"_s)->query.queryItemValue(u"state"_s),
              u"off"_s);
}

TEST(WebPlaybackEngine, PauseResumeAndSeekActOnThePagePlayer)
{
    EngineHarness harness;
    ASSERT_TRUE(harness.waitForReady());
    const QStringList side{u"spotify:track:long0"_s, u"spotify:track:long1"_s};
    ASSERT_FALSE(harness.run(harness.engine->play(side, 0, 0)));
    ASSERT_TRUE(harness.waitForState([](const EngineState &s) { return !s.paused; }));

    size_t mark = harness.events.size();
    harness.engine->pause();
    const auto paused = harness.waitForState([](const EngineState &s) { return s.paused; }, mark);
    ASSERT_TRUE(paused);

    mark = harness.events.size();
    harness.engine->seek(30000);
    const auto sought = harness.waitForState([](const EngineState &s) { return s.positionMs == 30000; }, mark);
    ASSERT_TRUE(sought);
    EXPECT_TRUE(sought->paused);

    mark = harness.events.size();
    harness.engine->seek(-500); // clamped to the start
    ASSERT_TRUE(harness.waitForState([](const EngineState &s) { return s.positionMs == 0; }, mark));

    mark = harness.events.size();
    harness.engine->resume();
    const auto resumed = harness.waitForState([](const EngineState &s) { return !s.paused; }, mark);
    ASSERT_TRUE(resumed);
    EXPECT_EQ(resumed->trackURI, side[0]);
    EXPECT_TRUE(harness.eventsOf<engine_event::Error>().empty());
}

TEST(WebPlaybackEngine, PlayIsRetriedOnceAfterNotFound)
{
    EngineHarness harness;
    ASSERT_TRUE(harness.waitForReady());

    const QString playPath = u"/v1/me/player/play"_s;
    harness.failNext(u"me/player/play"_s, 404);
    EXPECT_FALSE(harness.run(harness.engine->play(uris(1), 0, 0)));
    EXPECT_EQ(harness.standin.requests(playPath), 2);
    ASSERT_TRUE(harness.waitForState([](const EngineState &s) { return !s.paused; }));

    // Two 404s in a row fail the start with the service's answer; a 500 is not retried.
    harness.failNext(u"me/player/play"_s, 404, 2);
    const auto notFound = harness.run(harness.engine->play(uris(1), 0, 0));
    ASSERT_TRUE(notFound);
    EXPECT_TRUE(notFound->startsWith("Spotify returned 404: "_L1)) << notFound->toStdString();
    EXPECT_EQ(harness.standin.requests(playPath), 4);
    harness.failNext(u"me/player/play"_s, 500);
    EXPECT_TRUE(harness.run(harness.engine->play(uris(1), 0, 0)));
    EXPECT_EQ(harness.standin.requests(playPath), 5);
}

TEST(WebPlaybackEngine, ShuffleAndRepeatAreSwitchedOffOncePerRegistration)
{
    EngineHarness harness;
    ASSERT_TRUE(harness.waitForReady());

    harness.failNext(u"me/player/shuffle"_s, 502);
    ASSERT_FALSE(harness.run(harness.engine->play(uris(1), 0, 0))); // the failure is swallowed
    ASSERT_FALSE(harness.run(harness.engine->play(uris(1), 0, 0)));
    ASSERT_FALSE(harness.run(harness.engine->play(uris(1), 0, 0)));
    EXPECT_EQ(harness.commandPaths(),
              (QStringList{u"me/player/play"_s, u"me/player/shuffle"_s, u"me/player/play"_s,
                           u"me/player/shuffle"_s, u"me/player/repeat"_s, u"me/player/play"_s}));
}

TEST(WebPlaybackEngine, PlayWithoutADeviceFails)
{
    EngineHarness harness;
    const auto failure = harness.run(harness.engine->play(uris(1), 0, 0));
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, u"The player isn't connected to Spotify yet."_s);
    EXPECT_TRUE(harness.commandPaths().isEmpty());
}

TEST(WebPlaybackEngine, AnAuthenticationErrorForcesOneTokenRefresh)
{
    EngineHarness harness;
    harness.standin.player().failNextRegistration(u"authentication_error"_s, u"Invalid token scopes."_s);
    harness.engine->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !harness.eventsOf<engine_event::Error>().empty(); }, pageTimeoutMs));
    EXPECT_EQ(harness.eventsOf<engine_event::Error>().front().message,
              u"authentication_error: Invalid token scopes."_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return harness.standin.forcedTokenRequests == 1; }, 2000));
    EXPECT_FALSE(harness.engine->deviceID());
}

TEST(WebPlaybackEngine, TheDisconnectedPlayerReportsNotReady)
{
    EngineHarness harness;
    ASSERT_TRUE(harness.waitForReady());
    harness.standin.player().disconnectAll();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !harness.eventsOf<engine_event::NotReady>().empty(); }, pageTimeoutMs));
    EXPECT_FALSE(harness.engine->deviceID());
}

TEST(WebPlaybackEngine, AMissingPageResourceIsReported)
{
    WebPlaybackEngine::Options options;
    options.pageResource = u":/velloran/absent.html"_s;
    EngineHarness harness(options);
    harness.engine->start();
    ASSERT_EQ(harness.eventsOf<engine_event::Error>().size(), 1u);
    EXPECT_EQ(harness.eventsOf<engine_event::Error>().front().message, u"player.html is missing from the app bundle"_s);
    EXPECT_FALSE(harness.engine->isStarted());
}

TEST(WebPlaybackEngine, AStoppedLoadCanBeStartedAgain)
{
    EngineHarness harness;
    QWebEnginePage *page = harness.engine->page();
    auto stopper = QObject::connect(page, &QWebEnginePage::loadStarted, page,
                                    [page] { page->triggerAction(QWebEnginePage::Stop); });
    harness.engine->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !harness.engine->isStarted(); }, pageTimeoutMs));
    ASSERT_FALSE(harness.eventsOf<engine_event::Error>().empty());
    EXPECT_TRUE(harness.eventsOf<engine_event::Error>().front().message.startsWith("Player page failed to load: "_L1));
    QObject::disconnect(stopper);

    EXPECT_TRUE(harness.waitForReady());
}

TEST(WebPlaybackEngine, ThePageCannotNavigateAwayOrOpenWindows)
{
    EngineHarness harness;
    ASSERT_TRUE(harness.waitForReady());
    const QUrl before = harness.engine->page()->url();

    EXPECT_EQ(harness.evaluate(u"String(window.open('https://127.0.0.1/other'))"_s).toString(), u"null"_s);
    harness.evaluate(u"location.href = 'https://127.0.0.1/elsewhere'; 1"_s);
    QTest::qWait(500);
    EXPECT_EQ(harness.engine->page()->url(), before);
    EXPECT_EQ(harness.evaluate(u"typeof vqStart"_s).toString(), u"function"_s);
}

// The page runs only its own scripts and the SDK's origin's; the web channel lives apart
// from every script of the page and of its frames.
TEST(WebPlaybackEngine, ThePageRunsAndFramesOnlyTheSdksOriginAndKeepsTheChannelApart)
{
    EngineHarness harness;
    ASSERT_TRUE(harness.waitForReady()); // the stand-in's SDK runs and its messages arrive

    EXPECT_EQ(harness.evaluate(u"typeof qt + ' ' + typeof QWebChannel"_s).toString(), u"undefined undefined"_s);
    EXPECT_EQ(harness.evaluate(u"(() => { const f = document.createElement('iframe'); document.body.appendChild(f);"
                               u" return typeof f.contentWindow.qt; })()"_s)
                  .toString(),
              u"undefined"_s);

    // The same server under another name is another origin.
    QUrl elsewhere(harness.standin.sdkUrl());
    elsewhere.setHost(u"localhost"_s);
    const QString other = QString::fromUtf8(elsewhere.toEncoded());
    harness.evaluate(u"window.violations = [];"
                     u"document.addEventListener('securitypolicyviolation', e => violations.push(e.effectiveDirective));"
                     u"const s = document.createElement('script'); s.src = '"_s + other + u"'; document.head.appendChild(s);"
                     u"const f = document.createElement('iframe'); f.src = '"_s + other + u"'; document.body.appendChild(f);"
                     u"const g = document.createElement('iframe'); g.src = 'https://127.0.0.1:1/'; document.body.appendChild(g); 1"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return harness.evaluate(u"violations.length"_s).toInt() >= 3; }, 10000));
    const QStringList violations = harness.evaluate(u"violations.join(' ')"_s).toString().split(u' ');
    EXPECT_EQ(violations.count(u"script-src-elem"_s), 1) << violations.join(u' ').toStdString();
    EXPECT_EQ(violations.count(u"frame-src"_s), 2) << violations.join(u' ').toStdString();

    // The player still answers.
    EXPECT_EQ(harness.evaluate(u"typeof vqStart"_s).toString(), u"function"_s);
}

namespace {

// Two sides of three two-second tracks: fixture0..2 | fixture3..5.
Record shortRecord()
{
    Record record;
    record.id = u"fixturealbum"_s;
    record.uri = u"spotify:album:fixturealbum"_s;
    record.title = u"Short Pieces"_s;
    record.artist = u"The Fixtures"_s;
    for (int s = 0; s < 2; ++s) {
        Side side;
        side.index = s;
        for (int t = 0; t < 3; ++t) {
            side.tracks.append({fixtureTrackURI(s * 3 + t), u"Track"_s, u"The Fixtures"_s, 2000});
            side.startOffsets.append(t * 2000);
        }
        side.durationMs = 6000;
        record.sides.append(side);
    }
    return record;
}

} // namespace

TEST(WebPlaybackEngine, ASidePlaysThroughTheControllerAndFlips)
{
    using Status = PlaybackController::Status;
    EngineHarness harness;
    test::TestSettings settings;
    PlaybackController controller(*harness.engine, SystemClock::shared(), *settings);
    // The controller took the engine's callback; the harness listens in as well.
    harness.engine->onEvent = [&harness, forward = harness.engine->onEvent](const EngineEvent &event) {
        harness.events.push_back(event);
        forward(event);
    };
    ASSERT_TRUE(harness.waitForReady());
    controller.setAutoFlip(true);
    controller.setRecord(shortRecord());

    controller.start(0, 0, 0, false);
    EXPECT_EQ(controller.status(), Status::starting);
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.status() == Status::playing; }, 10000));
    EXPECT_EQ(controller.trackIndex(), 0);

    // Pause and resume inside the first track.
    controller.pause();
    EXPECT_EQ(controller.status(), Status::paused);
    const qint64 frozen = controller.trackPosition();
    QTest::qWait(600);
    EXPECT_EQ(controller.status(), Status::paused);
    EXPECT_NEAR(double(controller.trackPosition()), double(frozen), 300.0);
    controller.resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.status() == Status::playing; }, 5000));

    // The track index follows the engine onto the next track.
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.trackIndex() == 1; }, 5000));
    EXPECT_EQ(controller.status(), Status::playing);

    // A seek inside the current track goes to the engine, which confirms it.
    const size_t mark = harness.events.size();
    controller.seek(2000 + 1500);
    ASSERT_TRUE(harness.waitForState(
        [](const EngineState &s) { return s.trackURI == fixtureTrackURI(1) && s.positionMs >= 1500; }, mark));
    EXPECT_EQ(controller.trackIndex(), 1);

    // The side ends and side B starts by itself.
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.sideIndex() == 1; }, 15000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller.status() == Status::playing; }, 10000));
    EXPECT_EQ(controller.trackIndex(), 0);
    EXPECT_FALSE(controller.lastError()) << controller.lastError()->toStdString();
    const standin::Request *play = harness.standin.server().lastRequest(u"/v1/me/player/play"_s);
    ASSERT_TRUE(play);
    EXPECT_EQ(QJsonDocument::fromJson(play->body).object().value("uris"_L1).toArray().first().toString(),
              fixtureTrackURI(3));
}

TEST(WebPlaybackEngine, OnlyTheProgramsOwnPlayerIsOnTheBus)
{
    EngineHarness harness;
    ASSERT_TRUE(harness.waitForReady());
    ASSERT_FALSE(harness.run(harness.engine->play(uris(1), 0, 0)));
    ASSERT_TRUE(harness.waitForState([](const EngineState &s) { return !s.paused; }));
    QProcess playerctl;
    playerctl.start(u"playerctl"_s, {u"--list-all"_s});
    ASSERT_TRUE(QTest::qWaitFor([&] { return playerctl.state() == QProcess::NotRunning; }, 10000));
    const QString players = QString::fromUtf8(playerctl.readAllStandardOutput());
    EXPECT_FALSE(players.contains("chrom"_L1, Qt::CaseInsensitive)) << players.toStdString();
}

TEST(WebPlaybackEngine, ThePageRunsInNoWindowAsASeenPageAtFullRate)
{
    EngineHarness harness;
    ASSERT_TRUE(harness.waitForReady());
    EXPECT_EQ(harness.engine->page()->parent(), harness.engine.get());
    EXPECT_TRUE(QGuiApplication::allWindows().isEmpty());
    EXPECT_EQ(harness.evaluate(u"document.visibilityState"_s).toString(), u"visible"_s);
    EXPECT_EQ(harness.engine->page()->lifecycleState(), QWebEnginePage::LifecycleState::Active);

    // A hidden page gets its timers woken at most once a second: twenty chained 10 ms
    // timeouts would take twenty seconds there.
    harness.evaluate(u"window.timerTest = null; (() => { const t0 = performance.now(); let n = 0;"
                     " const tick = () => { if (++n === 20) window.timerTest = performance.now() - t0;"
                     " else setTimeout(tick, 10); }; setTimeout(tick, 10); })(); true"_s);
    QVariant elapsed;
    for (int i = 0; i < 150 && (elapsed.isNull() || !elapsed.isValid()); ++i) {
        QTest::qWait(100);
        elapsed = harness.evaluate(u"window.timerTest"_s);
    }
    ASSERT_TRUE(elapsed.isValid() && !elapsed.isNull());
    EXPECT_LT(elapsed.toDouble(), 2000.0);
}
