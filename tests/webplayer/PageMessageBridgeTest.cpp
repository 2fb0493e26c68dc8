// Messages from the page, posted through the program's relay and the real web channel
// bridge from a page that the test controls, and the literals the engine builds for page
// calls.

#include "EngineEventPrinter.h"
#include "StandinFixture.h"

#include "playback/PlayerPageMessage.h"
#include "webplayer/WebPlaybackEngine.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

// A page with a `send` that posts any body as the player page does, in its place.
constexpr auto probePage = R"(<!doctype html><html><head><script>
window.send = body => window.dispatchEvent(new CustomEvent("velloran-player-message", { detail: JSON.stringify(body) }));
window.vqStart = name => send({ type: "started", data: { name } });
window.vqToken = token => send({ type: "error", data: { message: "token " + token } });
window.vqSeek = ms => send({ type: "error", data: { message: "seek " + ms } });
</script></head><body></body></html>)";

struct BridgeHarness {
    BridgeHarness()
    {
        QFile file(dir.filePath(u"probe.html"_s));
        (void)file.open(QIODevice::WriteOnly);
        file.write(probePage);
        file.close();
        WebPlaybackEngine::Options options;
        options.pageResource = file.fileName();
        options.sdkUrl = u"about:blank"_s;
        engine = std::make_unique<WebPlaybackEngine>(standin.services(), SystemClock::shared(), options);
        engine->onEvent = [this](const EngineEvent &event) { events.push_back(event); };
        engine->start();
        const bool loaded = QTest::qWaitFor(
            [this] { return engine->page()->url() == QUrl(u"https://127.0.0.1/"_s); }, 30000);
        Q_ASSERT(loaded);
    }

    // Waits until `expected` has been emitted since the last `post`.
    bool waitFor(const EngineEvent &expected)
    {
        return QTest::qWaitFor(
            [&] { return std::find(events.begin(), events.end(), expected) != events.end(); }, 10000);
    }

    // Posts bodies through the bridge, then a marker, and returns the events in between.
    std::vector<EngineEvent> post(const QString &bodies)
    {
        events.clear();
        engine->page()->runJavaScript(u"["_s + bodies + u"].forEach(send); send({type:'cleared'});"_s);
        (void)QTest::qWaitFor(
            [this] {
                return std::find(events.begin(), events.end(), EngineEvent(engine_event::Cleared{})) != events.end();
            },
            10000);
        const auto marker = std::find(events.begin(), events.end(), EngineEvent(engine_event::Cleared{}));
        return std::vector<EngineEvent>(events.begin(), marker);
    }

    QTemporaryDir dir;
    test::StandinFixture standin;
    std::unique_ptr<WebPlaybackEngine> engine;
    std::vector<EngineEvent> events;
};

// One page for the whole suite; it goes before the application does.
class PageMessages : public ::testing::Test {
public:
    static void SetUpTestSuite() { instance = std::make_unique<BridgeHarness>(); }
    static void TearDownTestSuite() { instance.reset(); }
    static std::unique_ptr<BridgeHarness> instance;
};
std::unique_ptr<BridgeHarness> PageMessages::instance;

BridgeHarness &harness()
{
    return *PageMessages::instance;
}

EngineState stateOf(const std::vector<EngineEvent> &events)
{
    EXPECT_EQ(events.size(), 1u);
    if (events.size() != 1 || !std::holds_alternative<engine_event::State>(events[0]))
        return {};
    return std::get<engine_event::State>(events[0]).state;
}

} // namespace

TEST_F(PageMessages, StateFieldsAreReadWithTheirDefaults)
{
    const EngineState empty = stateOf(harness().post(u"{type:'state'}"_s));
    EXPECT_TRUE(empty.paused);
    EXPECT_EQ(empty.positionMs, 0);
    EXPECT_EQ(empty.durationMs, 0);
    EXPECT_FALSE(empty.trackURI);
    EXPECT_FALSE(empty.linkedFromURI);
    EXPECT_TRUE(empty.previousURIs.isEmpty());

    const EngineState full = stateOf(harness().post(
        u"{type:'state', data:{paused:false, position:1234.9, duration:200000, uri:'spotify:track:a',"
        " linkedFrom:'spotify:track:b', previous:['spotify:track:x','spotify:track:y']}}"_s));
    EXPECT_FALSE(full.paused);
    EXPECT_EQ(full.positionMs, 1234);
    EXPECT_EQ(full.durationMs, 200000);
    EXPECT_EQ(full.trackURI, u"spotify:track:a"_s);
    EXPECT_EQ(full.linkedFromURI, u"spotify:track:b"_s);
    EXPECT_EQ(full.previousURIs, (QStringList{u"spotify:track:x"_s, u"spotify:track:y"_s}));

    // Wrong types fall back to the defaults, field by field.
    const EngineState wrong = stateOf(harness().post(
        u"{type:'state', data:{paused:'no', position:'12', duration:null, uri:7, linkedFrom:{}, "
        "previous:['spotify:track:x', 3]}}"_s));
    EXPECT_TRUE(wrong.paused);
    EXPECT_EQ(wrong.positionMs, 0);
    EXPECT_EQ(wrong.durationMs, 0);
    EXPECT_FALSE(wrong.trackURI);
    EXPECT_FALSE(wrong.linkedFromURI);
    EXPECT_TRUE(wrong.previousURIs.isEmpty());

    // Positions are truncated towards zero; numbers no position can be are 0.
    const EngineState odd = stateOf(harness().post(u"{type:'state', data:{position:-5.7, duration:1e300}}"_s));
    EXPECT_EQ(odd.positionMs, -5);
    EXPECT_EQ(odd.durationMs, 0);

    // A data value that is not an object counts as an empty one.
    EXPECT_TRUE(stateOf(harness().post(u"{type:'state', data:[1,2]}"_s)).paused);
}

TEST_F(PageMessages, IgnoredBodiesEmitNothing)
{
    EXPECT_TRUE(harness()
                    .post(u"'state', 42, null, [], {data:{}}, {type:7}, {type:'unknown'},"
                          " {type:'remote', data:{action:'seekto'}}, {type:'remote'}, {type:'STATE'}"_s)
                    .empty());
}

TEST_F(PageMessages, RemoteActionsReadyAndErrors)
{
    const auto events = harness().post(
        u"{type:'remote', data:{action:'play'}}, {type:'remote', data:{action:'pause'}},"
        " {type:'remote', data:{action:'nexttrack'}}, {type:'remote', data:{action:'previoustrack'}},"
        " {type:'error', data:{}}, {type:'error', data:{message:'playback_error: gone'}}, {type:'not_ready'}"_s);
    const std::vector<EngineEvent> expected{
        engine_event::Remote{RemoteAction::play()},   engine_event::Remote{RemoteAction::pause()},
        engine_event::Remote{RemoteAction::next()},   engine_event::Remote{RemoteAction::previous()},
        engine_event::Error{u"Unknown player error"_s}, engine_event::Error{u"playback_error: gone"_s},
        engine_event::NotReady{},
    };
    EXPECT_EQ(events, expected);
}

TEST_F(PageMessages, ReadyWithoutADeviceLeavesItAbsent)
{
    auto events = harness().post(u"{type:'ready', data:{device_id:'device-1'}}"_s);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(harness().engine->deviceID(), u"device-1"_s);

    events = harness().post(u"{type:'ready', data:{device_id:12}}"_s);
    EXPECT_EQ(events, std::vector<EngineEvent>{engine_event::Ready{}});
    EXPECT_FALSE(harness().engine->deviceID());
}

TEST_F(PageMessages, TokenRequestsAndPageCallsUseStringLiterals)
{
    harness().standin.pageToken = u"tok\"en</script>\u2028"_s;
    harness().post(u"{type:'token_request'}"_s);
    EXPECT_TRUE(harness().waitFor(engine_event::Error{u"token tok\"en</script>\u2028"_s}));
    harness().standin.pageToken.reset();

    harness().events.clear();
    harness().engine->seek(-500);
    EXPECT_TRUE(harness().waitFor(engine_event::Error{u"seek 0"_s}));
    harness().engine->seek(61234);
    EXPECT_TRUE(harness().waitFor(engine_event::Error{u"seek 61234"_s}));
}

TEST_F(PageMessages, AMissingPageFunctionIsReported)
{
    harness().events.clear();
    harness().engine->pause();
    EXPECT_TRUE(harness().waitFor(engine_event::Error{u"Player script failed: vqPause is not defined"_s}));
}

TEST_F(PageMessages, AuthenticationErrorsForceOneRefresh)
{
    const int before = harness().standin.forcedTokenRequests;
    const auto events = harness().post(u"{type:'error', data:{message:'authentication_error: expired'}}"_s);
    EXPECT_EQ(events, std::vector<EngineEvent>{engine_event::Error{u"authentication_error: expired"_s}});
    EXPECT_EQ(harness().standin.forcedTokenRequests, before + 1);
    harness().post(u"{type:'error', data:{message:'account_error: premium'}}"_s);
    EXPECT_EQ(harness().standin.forcedTokenRequests, before + 1);
}

TEST_F(PageMessages, StringLiteralsSurviveJavaScript)
{
    EXPECT_EQ(jsStringLiteral(u"Velloran"_s), u"\"Velloran\""_s);
    EXPECT_EQ(jsStringLiteral(QString()), u"\"\""_s);
    EXPECT_EQ(jsStringLiteral(u"a\"b\\c\nd\u2028"_s), u"\"a\\\"b\\\\c\\u000ad\\u2028\""_s);
    // Outside printable ASCII everything is escaped; a pair stays a pair, a lone half is U+FFFD.
    EXPECT_EQ(jsStringLiteral(u"\ufeff\U0001F600\u00e9"_s + QChar(0xd800)), u"\"\\ufeff\\ud83d\\ude00\\u00e9\\ufffd\""_s);
}
