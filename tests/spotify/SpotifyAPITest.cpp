#include "Loopback.h"

#include "spotify/SpotifyAPI.h"

#include <QUrlQuery>

using namespace Qt::StringLiterals;
using namespace velloran;
using namespace velloran::test;

namespace {

class APITest : public Loopback {
protected:
    // A token function that hands out the stand-in's token and records every call.
    SpotifyAPI::TokenFunction tokenFunction()
    {
        return [this](bool force) -> QCoro::Task<QString> {
            forced.append(force);
            co_return QString(token);
        };
    }

    QString token = server.accounts().issueTokens().access;
    QList<bool> forced;
    SpotifyAPI api{tokenFunction(), config.apiBase, &network, clock};

    standin::Catalogue::Playlist *playlistWhere(const std::function<bool(const standin::Catalogue::Playlist &)> &test)
    {
        for (auto &playlist : server.catalogue().playlists) {
            if (test(playlist))
                return &playlist;
        }
        return nullptr;
    }
};

TEST_F(APITest, RefusedTokenIsRefreshedOnce)
{
    server.faults().add(u"/v1/me"_s, {.status = 401});
    const auto once = await(api.send({"GET", api.base().resolved(QUrl(u"me"_s)), {}, {}}));
    ASSERT_TRUE(once->value) << once->errorOf<UserFacingError>().toStdString();
    EXPECT_TRUE(once->value->contains("premium"));
    EXPECT_EQ(forced, (QList<bool>{false, true}));

    forced.clear();
    server.faults().add(u"/v1/me"_s, {.status = 401, .times = 2, .body = "expired"});
    const auto twice = await(api.send({"GET", api.base().resolved(QUrl(u"me"_s)), {}, {}}));
    EXPECT_EQ(twice->errorOf<APIError>(), u"Spotify returned 401: expired"_s);
    EXPECT_EQ(forced, (QList<bool>{false, true}));
    EXPECT_EQ(requests(u"/v1/me"_s), 4);
}

TEST_F(APITest, TokenFunctionFailureIsPassedOn)
{
    SpotifyAPI failing([](bool) -> QCoro::Task<QString> {
        throw UserFacingError(u"no token"_s);
        co_return QString();
    }, config.apiBase, &network, clock);
    EXPECT_EQ(await(failing.album(u"x"_s))->errorOf<UserFacingError>(), u"no token"_s);
    EXPECT_EQ(requests(u"/v1/albums/x"_s), 0);
}

TEST_F(APITest, RateLimitedRequestWaitsOnceOnTheClock)
{
    struct Case {
        std::optional<QByteArray> retryAfter;
        double wait;
    };
    for (const Case &c : {Case{"120", 30}, Case{"2.5", 2.5}, Case{std::nullopt, 1}, Case{"soon", 1}, Case{"-4", 1},
                          Case{"nan", 1}, Case{"0", 0}}) {
        SCOPED_TRACE(c.retryAfter.value_or("(none)").toStdString());
        server.faults().resetCounts();
        server.faults().add(u"/v1/me"_s, {.status = 429, .retryAfter = c.retryAfter});
        const auto outcome = start(api.request("GET", u"me"_s));
        ASSERT_TRUE(waitUntil([&] { return clock.sleeperCount() == 1 || outcome->finished; }));
        if (c.wait > 0) {
            clock.advanceSeconds(c.wait - 0.01);
            EXPECT_EQ(clock.sleeperCount(), 1u);
            EXPECT_EQ(requests(u"/v1/me"_s), 1);
        }
        clock.advanceSeconds(0.01);
        ASSERT_TRUE(finish(outcome));
        EXPECT_FALSE(outcome->error) << outcome->errorOf<UserFacingError>().toStdString();
        EXPECT_EQ(requests(u"/v1/me"_s), 2);
    }
}

TEST_F(APITest, SecondRateLimitFails)
{
    server.faults().add(u"/v1/me"_s, {.status = 429, .times = 2, .retryAfter = "1", .body = "slow down"});
    const auto outcome = start(api.request("GET", u"me"_s));
    ASSERT_TRUE(waitUntil([&] { return clock.sleeperCount() == 1; }));
    clock.advanceSeconds(1);
    ASSERT_TRUE(finish(outcome));
    EXPECT_EQ(outcome->errorOf<APIError>(), u"Spotify returned 429: slow down"_s);
    EXPECT_EQ(requests(u"/v1/me"_s), 2);
}

TEST_F(APITest, RefusalThenRateLimitMakesThreeRequests)
{
    server.faults().add(u"/v1/me"_s, {.status = 401});
    server.faults().add(u"/v1/me"_s, {.status = 429, .retryAfter = "1"});
    const auto outcome = start(api.request("GET", u"me"_s));
    ASSERT_TRUE(waitUntil([&] { return clock.sleeperCount() == 1; }));
    clock.advanceSeconds(1);
    ASSERT_TRUE(finish(outcome));
    EXPECT_FALSE(outcome->error);
    EXPECT_EQ(requests(u"/v1/me"_s), 3);
    EXPECT_EQ(forced, (QList<bool>{false, true, true}));
}

TEST_F(APITest, EveryNonSuccessStatusIsAnError)
{
    for (const int status : {204, 202}) {
        server.faults().add(u"/v1/me/player/repeat"_s, {.status = status, .body = ""});
        EXPECT_FALSE(await(api.setRepeat(u"off"_s, u"device"_s))->error) << status;
    }
    for (const auto &[status, body] : {std::pair{404, "{\"error\":{}}"_ba}, std::pair{500, "\xff\xfe"_ba}, std::pair{302, ""_ba}}) {
        server.faults().add(u"/v1/me/player/repeat"_s, {.status = status, .body = body});
        EXPECT_EQ(await(api.setRepeat(u"off"_s, u"device"_s))->errorOf<APIError>(),
                  u"Spotify returned "_s + QString::number(status) + u": "_s + QString::fromUtf8(body));
    }
}

TEST_F(APITest, CommandsSendASortedQueryAndAJsonBody)
{
    server.faults().add(u"/v1/me/player/repeat"_s, {.status = 204, .body = ""});
    ASSERT_FALSE(await(api.setRepeat(u"off"_s, u"a b&c=d/é"_s))->error);
    const standin::Request *repeat = server.lastRequest(u"/v1/me/player/repeat"_s);
    ASSERT_TRUE(repeat);
    EXPECT_EQ(repeat->method, "PUT");
    EXPECT_EQ(repeat->query.toString(QUrl::FullyEncoded), u"device_id=a%20b%26c%3Dd/%C3%A9&state=off"_s);
    EXPECT_EQ(repeat->query.queryItemValue(u"device_id"_s, QUrl::FullyDecoded), u"a b&c=d/é"_s);
    EXPECT_EQ(repeat->header("Authorization"), "Bearer " + token.toUtf8());

    server.faults().add(u"/v1/me/player/play"_s, {.status = 204, .body = ""});
    const QJsonObject body{{u"uris"_s, QJsonArray{u"spotify:track:1"_s}}, {u"position_ms"_s, 0}};
    ASSERT_FALSE(await(api.request("PUT", u"me/player/play"_s, {{u"device_id"_s, u"d"_s}}, body))->error);
    const standin::Request *play = server.lastRequest(u"/v1/me/player/play"_s);
    ASSERT_TRUE(play);
    EXPECT_EQ(play->header("Content-Type"), "application/json");
    EXPECT_EQ(play->body, R"({"position_ms":0,"uris":["spotify:track:1"]})");
}

TEST_F(APITest, AllPagesCollectsEveryPageInOrder)
{
    server.catalogue() = standin::Catalogue::generate({.albums = 120, .playlists = 0});
    const auto outcome = await(api.savedAlbums());
    ASSERT_TRUE(outcome->value) << outcome->errorOf<UserFacingError>().toStdString();
    ASSERT_EQ(outcome->value->size(), 120);
    for (qsizetype i = 0; i < 120; ++i)
        EXPECT_EQ(outcome->value->at(i).album.id, server.catalogue().albums[i].value("id"_L1).toString());
    EXPECT_EQ(requests(u"/v1/me/albums"_s), 3);
    EXPECT_FALSE(outcome->value->first().album.tracks->items.isEmpty());
}

TEST_F(APITest, PagingStopsAtAnUnusableNext)
{
    const QString item = u"{\"uri\":\"spotify:track:1\"}"_s;
    const auto pageWith = [&](const QString &next) {
        return (u"{\"items\":[{\"track\":"_s + item + u"}],\"next\":"_s + next + u'}').toUtf8();
    };
    const QString elsewhere = u"\"http://203.0.113.9/v1/playlists/p/items?offset=1\""_s;
    const QString self = u'"' + server.urlFor(u"/v1/playlists/p/items"_s, QUrlQuery(u"limit=50"_s)).toString() + u'"';
    for (const QString &next : {u"null"_s, u"\"::not a url\""_s, u"\"/v1/relative\""_s, elsewhere, self}) {
        SCOPED_TRACE(next.toStdString());
        server.faults().resetCounts();
        server.faults().add(u"/v1/playlists/p/items"_s, {.status = 200, .body = pageWith(next)});
        const auto outcome = await(api.playlistTracks(u"p"_s));
        ASSERT_TRUE(outcome->value) << outcome->errorOf<UserFacingError>().toStdString();
        EXPECT_EQ(outcome->value->size(), 1);
        EXPECT_EQ(requests(u"/v1/playlists/p/items"_s), 1);
    }
}

TEST_F(APITest, FailedPageFailsTheWholeCall)
{
    server.catalogue() = standin::Catalogue::generate({.albums = 60, .playlists = 0});
    server.faults().add(u"/v1/me/albums"_s, {.delay = std::chrono::milliseconds(0)});
    server.faults().add(u"/v1/me/albums"_s, {.status = 200, .body = R"({"items":{"album":{"id":"a"}}})"});
    const auto outcome = await(api.savedAlbums());
    EXPECT_FALSE(outcome->errorOf<DecodeError>().isEmpty());
    EXPECT_FALSE(outcome->value);
}

TEST_F(APITest, PlaylistTracksUseTheOlderResourceWhereTheNewOneIsMissing)
{
    const auto *legacy = playlistWhere([](const auto &p) { return !p.itemsResource && p.readable; });
    const auto *modern = playlistWhere([](const auto &p) { return p.itemsResource && p.readable; });
    ASSERT_TRUE(legacy && modern);
    for (const auto *playlist : {legacy, modern}) {
        const QString id = playlist->playlist.value("id"_L1).toString();
        const auto outcome = await(api.playlistTracks(id));
        ASSERT_TRUE(outcome->value) << outcome->errorOf<UserFacingError>().toStdString();
        qsizetype withTrack = 0;
        for (const QJsonValue &entry : playlist->items)
            withTrack += entry.toObject().value("track"_L1).isObject() ? 1 : 0;
        EXPECT_EQ(outcome->value->size(), withTrack);
        const qsizetype pages = std::max<qsizetype>(1, (playlist->items.size() + 49) / 50);
        EXPECT_EQ(requests(u"/v1/playlists/"_s + id + u"/tracks"_s), playlist == legacy ? pages : 0);
    }
}

TEST_F(APITest, PlaylistItemsMayHoldTheTrackUnderEitherKey)
{
    server.faults().add(u"/v1/playlists/p/items"_s,
                        {.status = 200,
                         .body = R"({"items":[{"item":{"uri":"a"}},{"track":{"uri":"b"}},{"item":{"uri":"c"},"track":{"uri":"x"}},{},{"item":null},{"track":null}],"next":null})"});
    const auto outcome = await(api.playlistTracks(u"p"_s));
    ASSERT_TRUE(outcome->value) << outcome->errorOf<UserFacingError>().toStdString();
    QStringList uris;
    for (const SpotifyTrack &track : *outcome->value)
        uris.append(track.uri.value_or(QString()));
    EXPECT_EQ(uris, (QStringList{u"a"_s, u"b"_s, u"c"_s}));
}

TEST_F(APITest, PlaylistThatMayNotBeReadFailsWithItsMessage)
{
    const auto *locked = playlistWhere([](const auto &p) { return !p.readable && p.itemsResource; });
    ASSERT_TRUE(locked);
    const auto outcome = await(api.playlistTracks(locked->playlist.value("id"_L1).toString()));
    EXPECT_EQ(outcome->errorOf<APIError>(), u"Spotify only lets this app read playlists you own or collaborate on."_s);

    // A failure of the older resource is passed on as it is.
    server.faults().add(u"/v1/playlists/q/items"_s, {.status = 404});
    server.faults().add(u"/v1/playlists/q/tracks"_s, {.status = 403, .body = "no"});
    EXPECT_EQ(await(api.playlistTracks(u"q"_s))->errorOf<APIError>(), u"Spotify returned 403: no"_s);
}

TEST_F(APITest, AlbumTracksFollowTheAlbumsOwnPages)
{
    server.catalogue() = standin::Catalogue::generate({.albums = 1, .playlists = 0});
    QJsonObject &stored = server.catalogue().albums.first();
    QJsonArray tracks;
    for (int i = 0; i < 120; ++i)
        tracks.append(QJsonObject{{u"uri"_s, QString(u"spotify:track:"_s + QString::number(i))}, {u"name"_s, QString::number(i)}});
    stored.insert(u"tracks"_s, tracks);
    const QString id = stored.value("id"_L1).toString();

    SpotifyAlbum bare{id, u"spotify:album:"_s + id, u"n"_s, {}, {}, {}, {}};
    const auto outcome = await(api.albumTracks(bare));
    ASSERT_TRUE(outcome->value) << outcome->errorOf<UserFacingError>().toStdString();
    ASSERT_EQ(outcome->value->size(), 120);
    EXPECT_EQ(outcome->value->last().uri, u"spotify:track:119"_s);
    EXPECT_EQ(requests(u"/v1/albums/"_s + id), 1);
    EXPECT_EQ(requests(u"/v1/albums/"_s + id + u"/tracks"_s), 2);

    SpotifyAlbum empty = bare;
    empty.tracks = SpotifyPage<SpotifyTrack>{};
    EXPECT_EQ(await(api.albumTracks(empty))->value->size(), 0);
}

TEST_F(APITest, UntrustedAnswersFailCleanly)
{
    SpotifyAPI small(tokenFunction(), config.apiBase, &network, clock,
                     {.timeout = std::chrono::milliseconds(300), .maxResponseBytes = 4096});
    server.faults().add(u"/v1/albums/a"_s, {.status = 200, .body = QByteArray(10000, ' ')});
    EXPECT_EQ(await(small.album(u"a"_s))->errorOf<NetworkError>(), u"Spotify's answer was too large."_s);
    server.faults().add(u"/v1/albums/a"_s, {.delay = std::chrono::milliseconds(3000)});
    EXPECT_EQ(await(small.album(u"a"_s))->errorOf<NetworkError>(), u"Spotify didn't answer in time."_s);
    for (const QByteArray &body : {"not json"_ba, "{\"id\":\"\xff\"}"_ba, R"({"id":5,"uri":"u","name":"n"})"_ba, "[]"_ba}) {
        server.faults().add(u"/v1/albums/a"_s, {.status = 200, .body = body});
        EXPECT_FALSE(await(small.album(u"a"_s))->errorOf<DecodeError>().isEmpty()) << body.toStdString();
    }
    // An id cannot reach another resource.
    EXPECT_EQ(await(api.album(u"../me"_s))->errorOf<APIError>().left(20), u"Spotify returned 404"_s);
    EXPECT_EQ(requests(u"/v1/me"_s), 0);

    SpotifyAPI unreachable(tokenFunction(), QUrl(u"http://127.0.0.1:1/v1/"_s), &network, clock);
    EXPECT_TRUE(await(unreachable.album(u"a"_s))->errorOf<NetworkError>().startsWith(u"Velloran couldn't reach Spotify: "_s));
}

TEST_F(APITest, OperationsOutliveTheClient)
{
    auto client = std::make_unique<SpotifyAPI>(tokenFunction(), config.apiBase, &network, clock);
    const auto outcome = start(client->playlists());
    client.reset();
    ASSERT_TRUE(finish(outcome));
    ASSERT_TRUE(outcome->value);
    EXPECT_EQ(outcome->value->size(), server.catalogue().playlists.size());
}

} // namespace
