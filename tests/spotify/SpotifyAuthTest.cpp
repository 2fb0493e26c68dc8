#include "Loopback.h"

#include "core/Json.h"
#include "spotify/AuthorizationOpener.h"
#include "spotify/Pkce.h"
#include "spotify/SpotifyAuth.h"
#include "spotify/TokenStore.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QUrlQuery>

using namespace Qt::StringLiterals;
using namespace velloran;
using namespace velloran::test;

namespace {

// Completes the browser's part of a login through the stand-in, without a browser.
class AuthTest : public Loopback {
protected:
    void SetUp() override
    {
        Loopback::SetUp();
        QObject::connect(&opener, &DirectAuthorizationOpener::redirected, &auth, &SpotifyAuth::deliverCallback);
    }

    // The `state` of the authorisation page a login opened.
    static QString stateOf(const QUrl &page) { return QUrlQuery(page).queryItemValue(u"state"_s); }

    // Logs in as if a login had happened earlier, with tokens the stand-in knows.
    Tokens signIn()
    {
        const auto issued = server.accounts().issueTokens();
        Tokens tokens{issued.access, issued.refresh, addSeconds(clock.now(), issued.expiresIn)};
        store.setData(tokens.toJson());
        EXPECT_TRUE(await(auth.restoreTokens())->finished);
        return tokens;
    }

    // An opener that only remembers the page, so that the test plays the browser.
    class RecordingOpener final : public AuthorizationOpener {
    public:
        bool open(const QUrl &url) override
        {
            opened.append(url);
            return true;
        }
        QList<QUrl> opened;
    };

    MemoryTokenStore store;
    DirectAuthorizationOpener opener{&network};
    SpotifyAuth auth{config, &network, clock, store, opener};
};

TEST(Pkce, VerifierAndChallengeAreBase64UrlOfTheRightLength)
{
    const Pkce pkce = Pkce::generate();
    EXPECT_EQ(pkce.verifier.size(), 86);
    EXPECT_EQ(pkce.challenge.size(), 43);
    for (const QString &text : {pkce.verifier, pkce.challenge})
        EXPECT_TRUE(QRegularExpression(u"^[A-Za-z0-9_-]+$"_s).match(text).hasMatch()) << text.toStdString();
    EXPECT_NE(Pkce::generate().verifier, pkce.verifier);
    // The example of RFC 7636, appendix B.
    EXPECT_EQ(Pkce::challengeFor(u"dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk"_s), u"E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM"_s);
}

TEST(SpotifyAuthUrl, CarriesTheSixItemsInOrderThenTheState)
{
    const SpotifyConfig config = SpotifyConfig::defaults();
    const QUrl url = SpotifyAuth::authorizationUrl(config, u"CHALLENGE"_s, u"STATE"_s);
    EXPECT_EQ(url.toString(QUrl::RemoveQuery), u"https://accounts.spotify.com/authorize"_s);
    EXPECT_EQ(url.query(QUrl::FullyEncoded),
              u"client_id=5f0c2a9e7b3d41c8a6e2d9f04b7c1e38&response_type=code&redirect_uri=cobbleden://callback"
              u"&code_challenge_method=S256&code_challenge=CHALLENGE&scope=streaming%20user-read-email%20user-read-private"
              u"%20user-read-playback-state%20user-modify-playback-state%20user-library-read%20playlist-read-private"
              u"%20playlist-read-collaborative&state=STATE"_s);
}

TEST(SpotifyConfigTest, EnvironmentOverridesTheHostsAndClient)
{
    qputenv("VELLORAN_ACCOUNTS_URL", "http://127.0.0.1:9/");
    qputenv("VELLORAN_API_URL", "http://127.0.0.1:9/v1");
    qputenv("VELLORAN_CLIENT_ID", "0123456789abcdef0123456789abcdef");
    const SpotifyConfig config = SpotifyConfig::fromEnvironment();
    qunsetenv("VELLORAN_ACCOUNTS_URL");
    qunsetenv("VELLORAN_API_URL");
    qunsetenv("VELLORAN_CLIENT_ID");
    EXPECT_EQ(config.tokenUrl(), QUrl(u"http://127.0.0.1:9/api/token"_s));
    EXPECT_EQ(config.apiBase, QUrl(u"http://127.0.0.1:9/v1/"_s));
    EXPECT_EQ(config.profileUrl(), QUrl(u"http://127.0.0.1:9/v1/me"_s));
    EXPECT_EQ(config.clientId, u"0123456789abcdef0123456789abcdef"_s);

    const SpotifyConfig defaults = SpotifyConfig::fromEnvironment();
    EXPECT_EQ(defaults.apiBase, QUrl(u"https://api.spotify.com/v1/"_s));
    EXPECT_EQ(defaults.clientId, SpotifyConfig::builtInClientId());
}

TEST(TokensTest, StoredFormRoundTripsAndRejectsAnythingElse)
{
    const Tokens tokens{u"a"_s, u"r"_s, fromReferenceSeconds(800000000.25)};
    EXPECT_EQ(Tokens::fromJson(tokens.toJson()), tokens);
    EXPECT_EQ(tokens.toJson(), R"({"access":"a","expiry":800000000.25,"refresh":"r"})");
    const Tokens noRefresh{u"a"_s, std::nullopt, fromReferenceSeconds(5)};
    EXPECT_EQ(noRefresh.toJson(), R"({"access":"a","expiry":5})");
    EXPECT_EQ(Tokens::fromJson(R"({"access":"a","expiry":5,"refresh":null})"), noRefresh);

    for (const char *bad : {"", "not json", "[]", R"({"expiry":5})", R"({"access":"a"})", R"({"access":1,"expiry":5})",
                            R"({"access":"a","expiry":"5"})", R"({"access":"a","expiry":1e300})", R"({"access":"a","expiry":5e10})", "{\"access\":\"\xff\",\"expiry\":5}"})
        EXPECT_FALSE(Tokens::fromJson(bad)) << bad;
}

TEST_F(AuthTest, WholeLoginExchangesTheCodeWithTheVerifierAndStoresTheTokens)
{
    QSignalSpy changes(&auth, &SpotifyAuth::tokensChanged);
    const auto outcome = await(auth.login());
    ASSERT_FALSE(outcome->error) << outcome->errorOf<UserFacingError>().toStdString();

    ASSERT_TRUE(auth.tokens());
    EXPECT_EQ(changes.count(), 1);
    EXPECT_FALSE(auth.isLoginPending());
    EXPECT_EQ(auth.tokens()->expiry, addSeconds(clock.now(), 3600));
    EXPECT_TRUE(auth.tokens()->refresh);
    EXPECT_EQ(Tokens::fromJson(store.data().value_or(QByteArray())), auth.tokens());
    EXPECT_EQ(requests(u"/v1/me"_s), 1);

    // The form went out as the accounts service expects it.
    const standin::Request *exchange = server.lastRequest(u"/api/token"_s);
    ASSERT_TRUE(exchange);
    EXPECT_EQ(exchange->header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_TRUE(exchange->header("Authorization").isEmpty());
    EXPECT_TRUE(exchange->body.contains("redirect_uri=cobbleden%3A%2F%2Fcallback")) << exchange->body.toStdString();
    EXPECT_TRUE(exchange->body.contains("grant_type=authorization_code"));

    // The token works against the Web API.
    const auto token = await(auth.accessToken(false));
    EXPECT_EQ(token->value, auth.tokens()->access);
    EXPECT_EQ(server.accounts().tokenRequests(), 1);
}

TEST_F(AuthTest, AccountCheckDecidesWhetherTheLoginHolds)
{
    struct Case {
        const char *name;
        std::function<void(standin::StandinServer &)> script;
        QString message;   // empty: the login holds
    };
    const QString premium = u"Velloran plays music through Spotify, which needs a Premium account."_s;
    const QString tester = u"This Spotify account isn't on Velloran's tester list yet. Ask whoever shared the app to add the email of your Spotify account."_s;
    const std::vector<Case> cases = {
        {"free account", [](auto &s) { s.accounts().product = u"free"_s; }, premium},
        {"not on the allow-list", [](auto &s) { s.accounts().onAllowList = false; }, tester},
        {"no product", [](auto &s) { s.accounts().product.reset(); }, {}},
        {"profile fails with 500", [](auto &s) { s.faults().add(u"/v1/me"_s, {.status = 500}); }, {}},
        {"profile is not JSON", [](auto &s) { s.faults().add(u"/v1/me"_s, {.status = 200, .body = "<html>"}); }, {}},
        {"profile is an empty object", [](auto &s) { s.faults().add(u"/v1/me"_s, {.status = 200, .body = "{}"}); }, {}},
        {"authorisation denied", [](auto &s) { s.accounts().denyAuthorization = true; },
         u"Spotify didn't return an authorization code."_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        server.accounts().resetBehaviour();
        server.faults().clear();
        auth.logOut();
        store.setData(std::nullopt);
        c.script(server);

        const auto outcome = await(auth.login());
        if (c.message.isEmpty()) {
            EXPECT_FALSE(outcome->error) << outcome->errorOf<UserFacingError>().toStdString();
            EXPECT_TRUE(auth.tokens());
            EXPECT_TRUE(store.data());
        } else {
            EXPECT_EQ(outcome->errorOf<AuthError>(), c.message);
            EXPECT_FALSE(auth.tokens());
            EXPECT_FALSE(store.data());
        }
    }
}

TEST_F(AuthTest, RefusedCodeExchangeReportsTheBodyAndLogsNobodyOut)
{
    const Tokens earlier = signIn();
    const QByteArray body = R"({"error":"invalid_grant","error_description":"Invalid authorization code"})";
    server.faults().add(u"/api/token"_s, {.status = 400, .body = body});

    const auto outcome = await(auth.login());
    EXPECT_EQ(outcome->errorOf<AuthError>(), u"Token request failed: "_s + QString::fromUtf8(body));
    EXPECT_EQ(auth.tokens(), earlier);
    EXPECT_TRUE(store.data());
}

TEST_F(AuthTest, CallbackIsTakenOnlyWhilePendingAndOnlyOnce)
{
    RecordingOpener browser;
    SpotifyAuth manual{config, &network, clock, store, browser};
    EXPECT_FALSE(manual.deliverCallback(QUrl(u"cobbleden://callback?code=early"_s)));

    const auto outcome = start(manual.login());
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_TRUE(manual.isLoginPending());
    EXPECT_FALSE(manual.deliverCallback(QUrl(u"https://elsewhere.example/callback?code=x"_s)));

    // Get a real code from the stand-in, as the browser would.
    QNetworkRequest page(browser.opened.first());
    page.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    const auto redirect = await(exchange(&network, page, "GET", {}, {}));
    ASSERT_TRUE(redirect->value);
    const QUrl location = QUrl::fromEncoded(redirect->value->header("Location"));
    // Several codes: the first counts.
    QUrl twoCodes = location;
    twoCodes.setQuery(location.query() + u"&code=second"_s);
    EXPECT_TRUE(manual.deliverCallback(twoCodes));
    EXPECT_FALSE(manual.deliverCallback(QUrl(u"cobbleden://callback?code=late"_s)));

    ASSERT_TRUE(finish(outcome));
    EXPECT_FALSE(outcome->error) << outcome->errorOf<UserFacingError>().toStdString();
    EXPECT_TRUE(manual.tokens());
}

TEST_F(AuthTest, CallbacksWithoutACodeFail)
{
    RecordingOpener browser;
    SpotifyAuth manual{config, &network, clock, store, browser};
    for (const char *callback : {"cobbleden://callback?", "cobbleden://callback?error=access_denied&", "cobbleden://callback?code=&",
                                 "cobbleden://callback?code&", "cobbleden://callback?Code=abc&"}) {
        SCOPED_TRACE(callback);
        const auto outcome = start(manual.login());
        const QByteArray state = "state=" + stateOf(browser.opened.last()).toLatin1();
        EXPECT_TRUE(manual.deliverCallback(QUrl::fromEncoded(callback + state)));
        ASSERT_TRUE(finish(outcome));
        EXPECT_EQ(outcome->errorOf<AuthError>(), u"Spotify didn't return an authorization code."_s);
    }
    EXPECT_EQ(server.accounts().tokenRequests(), 0);
}

// Only the redirect that carries the pending login's own state ends it; stray or forged
// links reaching the program meanwhile leave it waiting for the real one.
TEST_F(AuthTest, ACallbackWithoutTheLoginsStateIsIgnored)
{
    RecordingOpener browser;
    SpotifyAuth manual{config, &network, clock, store, browser};
    const auto outcome = start(manual.login());
    ASSERT_EQ(browser.opened.size(), 1);
    const QString state = stateOf(browser.opened.first());
    EXPECT_EQ(state.size(), 43);
    const auto login = start(manual.login()); // a new login sends a new state
    ASSERT_EQ(browser.opened.size(), 2);
    const QString newState = stateOf(browser.opened.last());
    EXPECT_NE(newState, state);

    const QStringList strays{u"cobbleden://callback?code=x"_s, u"cobbleden://callback?code=x&state="_s,
                                 u"cobbleden://callback?code=x&state="_s + state,
                                 u"cobbleden://callback?code=x&state="_s + newState.toLower(),
                                 u"cobbleden://callback?code=x&state="_s + newState + u"x"_s,
                                 u"cobbleden://callback?code=x&state=other&state="_s + newState,
                                 u"cobbleden://elsewhere?code=x&state="_s + newState,
                                 u"cobbleden://callback/more?code=x&state="_s + newState,
                                 u"cobbleden://user@callback?code=x&state="_s + newState,
                                 u"cobbleden:callback?code=x&state="_s + newState,
                                 u"https://callback?code=x&state="_s + newState};
    for (const QString &stray : strays) {
        EXPECT_FALSE(manual.deliverCallback(QUrl(stray))) << stray.toStdString();
        EXPECT_TRUE(manual.isLoginPending());
    }
    EXPECT_FALSE(login->finished);

    // The browser's real redirect, with the stand-in's code, still completes the login.
    QNetworkRequest page(browser.opened.last());
    page.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    const auto redirect = await(exchange(&network, page, "GET", {}, {}));
    ASSERT_TRUE(redirect->value);
    QUrl location = QUrl::fromEncoded(redirect->value->header("Location"));
    EXPECT_EQ(QUrlQuery(location).queryItemValue(u"state"_s), newState);
    location.setScheme(u"CobbleDen"_s);
    EXPECT_TRUE(manual.deliverCallback(location));
    ASSERT_TRUE(finish(login));
    EXPECT_FALSE(login->error) << login->errorOf<UserFacingError>().toStdString();
    EXPECT_TRUE(manual.tokens());
    EXPECT_EQ(server.accounts().tokenRequests(), 1);
}

TEST_F(AuthTest, CancelledOrReplacedLoginEndsWithTheSilentError)
{
    RecordingOpener browser;
    SpotifyAuth manual{config, &network, clock, store, browser};
    const auto first = start(manual.login());
    const auto second = start(manual.login());
    ASSERT_TRUE(finish(first));
    EXPECT_FALSE(first->errorOf<LoginCancelled>().isEmpty());
    EXPECT_FALSE(second->finished);
    EXPECT_TRUE(manual.isLoginPending());

    manual.cancelLogin();
    ASSERT_TRUE(finish(second));
    EXPECT_FALSE(second->errorOf<LoginCancelled>().isEmpty());
    EXPECT_FALSE(manual.isLoginPending());
    EXPECT_FALSE(manual.deliverCallback(QUrl(u"cobbleden://callback?code=x"_s)));
    EXPECT_EQ(browser.opened.size(), 2);
}

TEST_F(AuthTest, CachedTokenIsUsedUntilSixtySecondsBeforeExpiry)
{
    const Tokens tokens = signIn();
    clock.advanceSeconds(3600 - 61);
    EXPECT_EQ(await(auth.accessToken(false))->value, tokens.access);
    EXPECT_EQ(server.accounts().tokenRequests(), 0);

    clock.advanceSeconds(2);
    const auto refreshed = await(auth.accessToken(false));
    ASSERT_TRUE(refreshed->value);
    EXPECT_NE(*refreshed->value, tokens.access);
    EXPECT_EQ(server.accounts().tokenRequests(), 1);
    // The stand-in rotates refresh tokens; the new one replaces the old, and is stored.
    EXPECT_NE(auth.tokens()->refresh, tokens.refresh);
    EXPECT_EQ(Tokens::fromJson(store.data().value_or(QByteArray())), auth.tokens());

    // Forced, it refreshes although the token is fresh.
    EXPECT_NE(await(auth.accessToken(true))->value, refreshed->value);
    EXPECT_EQ(server.accounts().tokenRequests(), 2);
}

TEST_F(AuthTest, AnswerWithoutRefreshTokenKeepsTheOneHeld)
{
    const Tokens tokens = signIn();
    server.accounts().rotateRefreshTokens = false;
    ASSERT_TRUE(await(auth.accessToken(true))->value);
    EXPECT_EQ(auth.tokens()->refresh, tokens.refresh);
    EXPECT_NE(auth.tokens()->access, tokens.access);
}

TEST_F(AuthTest, ThreeStaleCallersShareOneRefresh)
{
    signIn();
    clock.advanceSeconds(3600);
    const auto a = start(auth.accessToken(false));
    const auto b = start(auth.accessToken(false));
    const auto c = start(auth.accessToken(true));
    ASSERT_TRUE(finish(a) && finish(b) && finish(c));
    EXPECT_EQ(server.accounts().tokenRequests(), 1);
    ASSERT_TRUE(a->value);
    EXPECT_EQ(a->value, b->value);
    EXPECT_EQ(a->value, c->value);
    EXPECT_EQ(a->value, auth.tokens()->access);
}

TEST_F(AuthTest, ThreeStaleCallersShareOneFailure)
{
    const Tokens tokens = signIn();
    clock.advanceSeconds(3600);
    server.faults().add(u"/api/token"_s, {.status = 500, .times = -1, .body = "busy"});
    const auto a = start(auth.accessToken(false));
    const auto b = start(auth.accessToken(false));
    const auto c = start(auth.accessToken(false));
    ASSERT_TRUE(finish(a) && finish(b) && finish(c));
    EXPECT_EQ(requests(u"/api/token"_s), 1);
    for (const auto &outcome : {a, b, c})
        EXPECT_EQ(outcome->errorOf<AuthError>(), u"Token request failed: busy"_s);
    EXPECT_EQ(auth.tokens(), tokens);
}

TEST_F(AuthTest, RevokedRefreshTokenEndsTheSession)
{
    signIn();
    server.accounts().revokeRefreshTokens();
    QSignalSpy changes(&auth, &SpotifyAuth::tokensChanged);
    const auto outcome = await(auth.accessToken(true));
    EXPECT_EQ(outcome->errorOf<AuthError>(), u"Spotify ended the session. Connect your account again."_s);
    EXPECT_FALSE(auth.tokens());
    EXPECT_FALSE(store.data());
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(await(auth.accessToken(false))->errorOf<AuthError>(), u"Log in to Spotify first."_s);
}

TEST_F(AuthTest, OtherRefusalsOfARefreshKeepTheTokens)
{
    const Tokens tokens = signIn();
    for (const QByteArray &body : {R"({"error":"invalid_client"})"_ba, "{\"error\":\"\xff\"}"_ba, "not json"_ba}) {
        server.faults().add(u"/api/token"_s, {.status = 400, .body = body});
        const auto outcome = await(auth.accessToken(true));
        EXPECT_EQ(outcome->errorOf<AuthError>(), u"Token request failed: "_s + QString::fromUtf8(body));
        EXPECT_EQ(auth.tokens(), tokens);
    }
    EXPECT_EQ(await(auth.accessToken(true))->errorOf<AuthError>(), QString());
}

TEST_F(AuthTest, MalformedTokenAnswersFailWithoutChangingAnything)
{
    const Tokens tokens = signIn();
    for (const QByteArray &body : {"{}"_ba, R"({"access_token":"x"})"_ba, R"({"access_token":7,"expires_in":3600})"_ba,
                                  "<html>"_ba, QByteArray(100000, '[')}) {
        server.faults().add(u"/api/token"_s, {.status = 200, .body = body});
        const auto outcome = await(auth.accessToken(true));
        EXPECT_FALSE(outcome->errorOf<DecodeError>().isEmpty()) << body.left(40).toStdString();
        EXPECT_EQ(auth.tokens(), tokens);
    }
}

TEST_F(AuthTest, LogOutDuringARefreshStaysLoggedOut)
{
    signIn();
    server.faults().add(u"/api/token"_s, {.delay = std::chrono::milliseconds(100)});
    const auto outcome = start(auth.accessToken(true));
    auth.logOut();
    ASSERT_TRUE(finish(outcome));
    EXPECT_EQ(outcome->errorOf<AuthError>(), u"Log in to Spotify first."_s);
    EXPECT_FALSE(auth.tokens());
    EXPECT_FALSE(store.data());
}

TEST_F(AuthTest, WithoutTokensThereIsNoAccessToken)
{
    EXPECT_EQ(await(auth.accessToken(false))->errorOf<AuthError>(), u"Log in to Spotify first."_s);
    store.setData(Tokens{u"a"_s, std::nullopt, clock.now()}.toJson());
    await(auth.restoreTokens());
    ASSERT_TRUE(auth.tokens());
    EXPECT_EQ(await(auth.accessToken(false))->errorOf<AuthError>(), u"Log in to Spotify first."_s);
    EXPECT_EQ(server.accounts().tokenRequests(), 0);
}

TEST_F(AuthTest, UnreadableStoredTokensStartLoggedOutAndStayStored)
{
    store.setData("{\"access\":");
    await(auth.restoreTokens());
    EXPECT_FALSE(auth.tokens());
    EXPECT_EQ(store.data(), "{\"access\":");
}

TEST_F(AuthTest, NetworkFailuresAreReported)
{
    signIn();
    auth.setLimits({.timeout = std::chrono::milliseconds(200)});
    server.faults().add(u"/api/token"_s, {.delay = std::chrono::milliseconds(2000)});
    EXPECT_EQ(await(auth.accessToken(true))->errorOf<NetworkError>(), u"Spotify didn't answer in time."_s);

    auth.setLimits({.maxResponseBytes = 1000});
    server.faults().add(u"/api/token"_s, {.status = 400, .body = QByteArray(5000, 'x')});
    EXPECT_EQ(await(auth.accessToken(true))->errorOf<NetworkError>(), u"Spotify's answer was too large."_s);
    EXPECT_TRUE(auth.tokens());
}

} // namespace
