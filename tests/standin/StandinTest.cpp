#include "Await.h"

#include "core/Json.h"
#include "core/ManualClock.h"
#include "spotify/HttpExchange.h"
#include "spotify/Pkce.h"
#include "spotify/SpotifyAuth.h"
#include "standin/StandinServer.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QUrlQuery>

using namespace Qt::StringLiterals;
using namespace velloran;
using namespace velloran::standin;
using namespace velloran::test;

namespace {

class StandinTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.listenOnLoopback()); }

    HttpResponse call(QByteArray method, const QString &path, QByteArray body = {}, QByteArray contentType = {},
                      const QString &bearer = {})
    {
        QNetworkRequest request(QUrl(server.baseUrl().toString() + path));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        if (!contentType.isEmpty())
            request.setRawHeader("Content-Type", contentType);
        if (!bearer.isEmpty())
            request.setRawHeader("Authorization", "Bearer " + bearer.toUtf8());
        const auto outcome = await(exchange(&network, request, std::move(method), std::move(body), {}));
        return outcome->value.value_or(HttpResponse{});
    }

    QJsonObject json(const HttpResponse &response) { return QJsonDocument::fromJson(response.body).object(); }

    HttpResponse token(const QString &form) { return call("POST", u"/api/token"_s, form.toUtf8(), "application/x-www-form-urlencoded"); }

    // Runs /authorize with a fresh verifier; the code it granted and the verifier.
    std::pair<QString, QString> authorize()
    {
        const Pkce pkce = Pkce::generate();
        const QUrl url = SpotifyAuth::authorizationUrl(SpotifyConfig::forServer(server.baseUrl()), pkce.challenge);
        const HttpResponse response = call("GET", u"/authorize?"_s + url.query(QUrl::FullyEncoded));
        EXPECT_EQ(response.status, 302);
        const QUrl location = QUrl::fromEncoded(response.header("Location"));
        EXPECT_EQ(location.scheme(), u"cobbleden"_s);
        return {QUrlQuery(location).queryItemValue(u"code"_s), pkce.verifier};
    }

    static QString codeForm(const QString &code, const QString &verifier)
    {
        return u"grant_type=authorization_code&code="_s + code + u"&redirect_uri=cobbleden%3A%2F%2Fcallback&client_id="_s
               + SpotifyConfig::builtInClientId() + u"&code_verifier="_s + verifier;
    }
    static QString refreshForm(const QString &refresh)
    {
        return u"grant_type=refresh_token&refresh_token="_s + refresh + u"&client_id="_s + SpotifyConfig::builtInClientId();
    }

    ManualClock clock;
    StandinServer server{Catalogue::sample(), clock};
    QNetworkAccessManager network;
};

TEST_F(StandinTest, CodeIsExchangedOnceAndOnlyWithItsVerifier)
{
    auto [code, verifier] = authorize();
    EXPECT_EQ(json(token(codeForm(code, u"wrong"_s))).value("error"_L1), u"invalid_grant"_s);
    // The failed attempt used the code up.
    EXPECT_EQ(json(token(codeForm(code, verifier))).value("error"_L1), u"invalid_grant"_s);

    std::tie(code, verifier) = authorize();
    const HttpResponse granted = token(codeForm(code, verifier));
    ASSERT_EQ(granted.status, 200);
    EXPECT_EQ(json(granted).value("expires_in"_L1).toDouble(), 3600);
    EXPECT_EQ(json(token(codeForm(code, verifier))).value("error"_L1), u"invalid_grant"_s);
}

TEST_F(StandinTest, AuthorizeChecksItsParametersAndCanBeDenied)
{
    const QString challenge = Pkce::generate().challenge;
    const QString good = u"client_id="_s + SpotifyConfig::builtInClientId()
                         + u"&response_type=code&redirect_uri=cobbleden://callback&code_challenge_method=S256&code_challenge="_s + challenge;
    EXPECT_EQ(call("GET", u"/authorize?"_s + good).status, 302);
    for (const auto &[from, to] : {std::pair{u"client_id=5"_s, u"client_id=6"_s}, std::pair{u"=code&"_s, u"=token&"_s},
                                   std::pair{u"//callback"_s, u"//elsewhere"_s}, std::pair{u"S256"_s, u"plain"_s},
                                   std::pair{challenge, u"short"_s}}) {
        QString bad = good;
        EXPECT_EQ(call("GET", u"/authorize?"_s + bad.replace(from, to)).status, 400) << bad.toStdString();
    }
    server.accounts().denyAuthorization = true;
    EXPECT_EQ(call("GET", u"/authorize?"_s + good).header("Location"), "cobbleden://callback?error=access_denied");
}

TEST_F(StandinTest, RefreshRotatesTheRefreshToken)
{
    const auto issued = server.accounts().issueTokens();
    const QJsonObject first = json(token(refreshForm(issued.refresh)));
    const QString rotated = first.value("refresh_token"_L1).toString();
    ASSERT_FALSE(rotated.isEmpty());
    EXPECT_NE(rotated, issued.refresh);
    EXPECT_EQ(json(token(refreshForm(issued.refresh))).value("error"_L1), u"invalid_grant"_s);
    EXPECT_EQ(token(refreshForm(rotated)).status, 200);
    EXPECT_EQ(token(u"grant_type=password&client_id="_s + SpotifyConfig::builtInClientId()).status, 400);
    EXPECT_EQ(call("POST", u"/api/token"_s, refreshForm(rotated).toUtf8(), "application/json").status, 400);
}

TEST_F(StandinTest, BearerTokensExpireAndAreChecked)
{
    server.accounts().expiresIn = 10;
    const auto issued = server.accounts().issueTokens();
    EXPECT_EQ(call("GET", u"/v1/me"_s, {}, {}, issued.access).status, 200);
    EXPECT_EQ(call("GET", u"/v1/me"_s).status, 401);
    EXPECT_EQ(call("GET", u"/v1/me"_s, {}, {}, u"made-up"_s).status, 401);
    clock.advanceSeconds(10);
    EXPECT_EQ(call("GET", u"/v1/me"_s, {}, {}, issued.access).status, 401);
    const auto fresh = server.accounts().issueTokens();
    server.accounts().expireAccessTokens();
    EXPECT_EQ(call("GET", u"/v1/me"_s, {}, {}, fresh.access).status, 401);
}

TEST_F(StandinTest, PagesCarryAbsoluteNextLinksAndRespectTheLimit)
{
    server.catalogue() = Catalogue::generate({.albums = 7, .playlists = 0});
    const QString access = server.accounts().issueTokens().access;
    const QJsonObject page = json(call("GET", u"/v1/me/albums?limit=5"_s, {}, {}, access));
    EXPECT_EQ(page.value("items"_L1).toArray().size(), 5);
    const QUrl next(page.value("next"_L1).toString());
    EXPECT_EQ(next, server.urlFor(u"/v1/me/albums"_s, QUrlQuery(u"offset=5&limit=5"_s)));
    const QJsonObject last = json(call("GET", u"/v1/me/albums?offset=5&limit=5"_s, {}, {}, access));
    EXPECT_EQ(last.value("items"_L1).toArray().size(), 2);
    EXPECT_TRUE(last.value("next"_L1).isNull());
    for (const char *query : {"limit=51", "limit=0", "limit=x", "offset=-1"})
        EXPECT_EQ(call("GET", u"/v1/me/albums?"_s + QString::fromLatin1(query), {}, {}, access).status, 400) << query;
    EXPECT_EQ(call("POST", u"/v1/me/albums"_s, {}, {}, access).status, 405);
    EXPECT_EQ(call("GET", u"/v1/nothing"_s, {}, {}, access).status, 404);
}

TEST_F(StandinTest, FaultsApplyInOrderAndEveryRequestIsCounted)
{
    server.faults().add(u"/v1/me"_s, {.status = 503, .times = 2});
    server.faults().add(u"/v1/me"_s, {.status = 429, .retryAfter = "2.5"});
    server.faults().add(u"/v1/me"_s, {.status = 200, .body = "not json"});
    const QString access = server.accounts().issueTokens().access;
    EXPECT_EQ(call("GET", u"/v1/me"_s).status, 503);
    EXPECT_EQ(call("GET", u"/v1/me"_s).status, 503);
    const HttpResponse limited = call("GET", u"/v1/me"_s);
    EXPECT_EQ(limited.status, 429);
    EXPECT_EQ(limited.header("Retry-After"), "2.5");
    EXPECT_EQ(call("GET", u"/v1/me"_s).body, "not json");
    EXPECT_EQ(call("GET", u"/v1/me"_s, {}, {}, access).status, 200);
    EXPECT_EQ(server.faults().count(u"/v1/me"_s), 5);
}

TEST_F(StandinTest, ControlRoutesScriptTheServerFromOutside)
{
    EXPECT_EQ(call("POST", u"/standin/faults"_s, R"({"path":"/v1/me","status":500,"times":1})", "application/json").status, 204);
    EXPECT_EQ(call("POST", u"/standin/account"_s, R"({"product":"free","expiresIn":5})", "application/json").status, 204);
    EXPECT_EQ(call("POST", u"/standin/faults"_s, R"({"status":500})", "application/json").status, 400);
    EXPECT_EQ(call("POST", u"/standin/faults"_s, "{", "application/json").status, 400);
    EXPECT_EQ(server.accounts().product, u"free"_s);
    EXPECT_EQ(server.accounts().expiresIn, 5);
    EXPECT_EQ(call("GET", u"/v1/me"_s).status, 500);
    const QJsonObject counts = json(call("GET", u"/standin/requests"_s)).value("counts"_L1).toObject();
    EXPECT_EQ(counts.value("/v1/me"_L1).toInt(), 1);
}

TEST_F(StandinTest, DelayedAnswerArrivesLater)
{
    server.faults().add(u"/v1/me"_s, {.delay = std::chrono::milliseconds(150)});
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(call("GET", u"/v1/me"_s).status, 401);
    EXPECT_GE(timer.elapsed(), 140);
}

TEST(StandinCatalogueTest, GeneratorIsDeterministicAndHasEveryAwkwardEntry)
{
    const Catalogue a = Catalogue::generate({.albums = 5000, .playlists = 1000, .seed = 7});
    EXPECT_EQ(a.albums.size(), 5000);
    EXPECT_EQ(a.playlists.size(), 1000);
    EXPECT_EQ(Catalogue::generate({.albums = 200, .playlists = 50, .seed = 7}).toJson(),
              Catalogue::generate({.albums = 200, .playlists = 50, .seed = 7}).toJson());
    EXPECT_NE(Catalogue::generate({.albums = 3, .playlists = 0, .seed = 8}).toJson(),
              Catalogue::generate({.albums = 3, .playlists = 0, .seed = 7}).toJson());

    int episodes = 0, local = 0, unplayable = 0, nulls = 0, emptyTracks = 0;
    for (const auto &playlist : a.playlists) {
        for (const QJsonValue &item : playlist.items) {
            if (item.isNull()) {
                ++nulls;
                continue;
            }
            const QJsonValue track = item.toObject().value("track"_L1);
            emptyTracks += track.isNull() ? 1 : 0;
            episodes += track.toObject().value("type"_L1) == "episode"_L1 ? 1 : 0;
            local += track.toObject().value("is_local"_L1).toBool() ? 1 : 0;
            unplayable += track.toObject().value("is_playable"_L1) == QJsonValue(false) ? 1 : 0;
        }
    }
    EXPECT_GT(episodes, 0);
    EXPECT_GT(local, 0);
    EXPECT_GT(unplayable, 0);
    EXPECT_GT(nulls, 0);
    EXPECT_GT(emptyTracks, 0);
    const Catalogue sample = Catalogue::sample();
    EXPECT_TRUE(std::any_of(sample.playlists.cbegin(), sample.playlists.cend(), [](const auto &p) { return !p.readable; }));
    EXPECT_TRUE(std::any_of(sample.playlists.cbegin(), sample.playlists.cend(), [](const auto &p) { return !p.itemsResource; }));
}

TEST(StandinCatalogueTest, FixtureRoundTripsAndBadOnesAreRefused)
{
    QTemporaryDir dir;
    const Catalogue catalogue = Catalogue::generate({.albums = 4, .playlists = 3});
    QFile file(dir.filePath(u"catalogue.json"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(catalogue.toJson()).toJson());
    file.close();
    const Catalogue loaded = Catalogue::load(file.fileName());
    EXPECT_EQ(loaded.toJson(), catalogue.toJson());
    EXPECT_TRUE(loaded.album(catalogue.albums[2].value("id"_L1).toString()));

    EXPECT_THROW(Catalogue::load(dir.filePath(u"missing.json"_s)), DecodeError);
    for (const char *bad : {R"({"albums":[{"tracks":[]}]})", R"({"albums":[{"id":"a"}]})", R"({"playlists":[{"id":"p"}]})",
                            R"({"albums":{}})"})
        EXPECT_THROW(Catalogue::fromJson(QJsonDocument::fromJson(bad).object()), DecodeError) << bad;
}

} // namespace
