#include "spotify/CatalogueTypes.h"

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

TEST(CatalogueTypes, DecodesTheServiceForm)
{
    const QByteArray body = R"({
      "href": "ignored", "limit": 50,
      "items": [
        {"added_at": "2024-01-02T03:04:05Z", "album": {
          "id": "a1", "uri": "spotify:album:a1", "name": "Blue", "artists": [{"name": "J", "id": "x"}],
          "images": [{"url": "https://i/1", "width": 640, "height": 640}, {"url": "https://i/2", "width": null}],
          "release_date": "1971-06-22",
          "tracks": {"items": [{"uri": "spotify:track:t", "duration_ms": 180000, "is_playable": true,
                                "name": "All I Want", "artists": [{"name": "J"}], "type": "track"}], "next": null}}},
        {"album": {"id": "a2", "uri": "spotify:album:a2", "name": "Bare", "artists": [], "images": null}}
      ],
      "next": "https://api.example/v1/me/albums?offset=50"
    })";
    const auto page = decodeCatalogue<SpotifyPage<SpotifySavedAlbum>>(body);
    ASSERT_EQ(page.items.size(), 2);
    EXPECT_EQ(page.next, u"https://api.example/v1/me/albums?offset=50"_s);
    const SpotifyAlbum &blue = page.items[0].album;
    EXPECT_EQ(page.items[0].addedAt, u"2024-01-02T03:04:05Z"_s);
    EXPECT_EQ(blue.releaseDate, u"1971-06-22"_s);
    ASSERT_TRUE(blue.images);
    EXPECT_EQ(blue.images->at(0).width, 640);
    EXPECT_FALSE(blue.images->at(1).width);
    ASSERT_TRUE(blue.tracks);
    EXPECT_EQ(blue.tracks->items[0].durationMs, 180000);
    EXPECT_EQ(blue.tracks->items[0].isPlayable, true);
    EXPECT_FALSE(blue.tracks->items[0].isLocal);
    EXPECT_FALSE(page.items[1].addedAt);
    EXPECT_FALSE(page.items[1].album.images);

    // Encoding gives the same form back.
    EXPECT_EQ(SpotifyPage<SpotifySavedAlbum>::fromJson(page.toJson()), page);
}

TEST(CatalogueTypes, PlaylistsAndItems)
{
    const auto playlist = decodeCatalogue<SpotifyPlaylist>(
        R"({"id":"p","uri":"spotify:playlist:p","name":"Mix","owner":{"id":"o","display_name":null},"snapshot_id":"s9"})");
    ASSERT_TRUE(playlist.owner);
    EXPECT_FALSE(playlist.owner->displayName);
    EXPECT_EQ(playlist.snapshotId, u"s9"_s);
    EXPECT_EQ(SpotifyPlaylist::fromJson(playlist.toJson()), playlist);

    const auto items = decodeCatalogue<SpotifyPage<SpotifyPlaylistItem>>(
        R"({"items":[{"item":{"uri":"spotify:track:a"}},{"track":{"uri":"spotify:episode:e","type":"episode"}},
                     {"track":null},{},null]})");
    ASSERT_EQ(items.items.size(), 5);
    EXPECT_EQ(items.items[4], SpotifyPlaylistItem{});
    EXPECT_TRUE(items.items[0].item);
    EXPECT_FALSE(items.items[0].track);
    EXPECT_EQ(items.items[1].track->type, u"episode"_s);
    EXPECT_FALSE(items.items[2].track);
    EXPECT_FALSE(items.next);
}

TEST(CatalogueTypes, ARecordWithoutWhatItNeedsFailsNamingTheField)
{
    const QList<std::pair<QByteArray, QString>> cases = {
        {R"({"album":{"uri":"u","name":"n","artists":[]}})", u"album.id"_s},
        {R"({"album":{"id":5,"uri":"spotify:album:i","name":"n","artists":[]}})", u"album.id"_s},
        {R"({"album":{"id":"","uri":"spotify:playlist:i"}})", u"album.id"_s},
        {R"({"album":{"id":"i","name":7}})", u"album.name"_s},
        {R"({"album":null})", u"album"_s},
        {R"({"added_at":3,"album":{"id":"i"}})", u"added_at"_s},
    };
    for (const auto &[body, field] : cases) {
        try {
            decodeCatalogue<SpotifySavedAlbum>(body);
            ADD_FAILURE() << body.constData();
        } catch (const DecodeError &error) {
            EXPECT_TRUE(error.message().contains(u'"' + field + u'"')) << error.what();
        }
    }
    // Only the page's own frame fails a page.
    for (const QByteArray body : {R"({"next":null})", R"({"items":{}})", R"({"items":[],"next":7})"})
        EXPECT_THROW(decodeCatalogue<SpotifyPage<SpotifySavedAlbum>>(body), DecodeError) << body.constData();
}

// Shaped as the service answers GET /v1/me/albums, with the odd entries its schema allows.
TEST(CatalogueTypes, AnOddSavedAlbumIsLeftOutAndTheRestOfThePageKept)
{
    const QByteArray body = R"({
      "href": "https://api.spotify.com/v1/me/albums?offset=0&limit=50", "limit": 50, "offset": 0,
      "previous": null, "total": 5,
      "next": "https://api.spotify.com/v1/me/albums?offset=50&limit=50",
      "items": [
        {"added_at": "2023-05-01T12:34:56Z",
         "album": {"album_type": "album", "total_tracks": 2, "available_markets": ["DE", "GB"],
                   "external_urls": {"spotify": "https://open.spotify.com/album/2up3OPMp9Tb4dAKM2erWXQ"},
                   "href": "https://api.spotify.com/v1/albums/2up3OPMp9Tb4dAKM2erWXQ", "id": "2up3OPMp9Tb4dAKM2erWXQ",
                   "images": [{"url": "https://i.scdn.co/image/ab67616d0000b273", "height": 640, "width": 640}, null,
                              {"height": 300, "width": 300}],
                   "name": "Harbour Lights", "release_date": "1999-03-01", "release_date_precision": "day",
                   "type": "album", "uri": "spotify:album:2up3OPMp9Tb4dAKM2erWXQ",
                   "artists": [{"external_urls": {"spotify": "https://open.spotify.com/artist/0TnOYISbd1XYRBk9myaseg"},
                                "href": "https://api.spotify.com/v1/artists/0TnOYISbd1XYRBk9myaseg",
                                "id": "0TnOYISbd1XYRBk9myaseg", "name": "Mira Sol", "type": "artist",
                                "uri": "spotify:artist:0TnOYISbd1XYRBk9myaseg"},
                               {"id": "1vCWHaC5f2uS3yhpwWbIA6", "type": "artist", "uri": "spotify:artist:1vCWHaC5f2uS3yhpwWbIA6"},
                               null],
                   "tracks": {"href": "https://api.spotify.com/v1/albums/2up3OPMp9Tb4dAKM2erWXQ/tracks", "limit": 50,
                              "next": null, "offset": 0, "previous": null, "total": 2,
                              "items": [{"artists": [{"name": "Mira Sol"}], "duration_ms": 201000, "is_playable": true,
                                         "name": "Tide", "track_number": 1, "type": "track",
                                         "uri": "spotify:track:4iV5W9uYEdYUVa79Axb7Rh"},
                                        null]}}},
        {"added_at": "2023-05-02T08:00:00Z"},
        null,
        {"added_at": "2023-05-03T08:00:00Z",
         "album": {"album_type": "single", "id": "6akEvsycLGftJxYudPjmqK", "name": "Lantern", "artists": [],
                   "images": [], "release_date": "2021", "release_date_precision": "year", "type": "album"}},
        {"added_at": "2023-05-04T08:00:00Z", "album": {"name": "No identity", "artists": []}}
      ]})";
    const auto page = decodeCatalogue<SpotifyPage<SpotifySavedAlbum>>(body);
    ASSERT_EQ(page.items.size(), 2);
    EXPECT_EQ(page.next, u"https://api.spotify.com/v1/me/albums?offset=50&limit=50"_s);

    const SpotifyAlbum &first = page.items[0].album;
    EXPECT_EQ(first.id, u"2up3OPMp9Tb4dAKM2erWXQ"_s);
    // The artist with no name and the null one join as nothing.
    EXPECT_EQ(first.artists, QList{SpotifyArtist{u"Mira Sol"_s}});
    EXPECT_EQ(first.images->size(), 1);
    ASSERT_TRUE(first.tracks);
    EXPECT_EQ(first.tracks->items.size(), 1);

    const SpotifyAlbum &second = page.items[1].album;
    EXPECT_EQ(second.id, u"6akEvsycLGftJxYudPjmqK"_s);
    EXPECT_EQ(second.uri, u"spotify:album:6akEvsycLGftJxYudPjmqK"_s);
    EXPECT_EQ(second.name, u"Lantern"_s);
    EXPECT_EQ(page.items[1].addedAt, u"2023-05-03T08:00:00Z"_s);

    // What was filled in is written out whole and reads back the same.
    EXPECT_EQ(SpotifyPage<SpotifySavedAlbum>::fromJson(page.toJson()), page);
}

// Shaped as the service answers GET /v1/me/playlists.
TEST(CatalogueTypes, AnOddPlaylistIsLeftOutOrCompletedAndTheRestKept)
{
    const QByteArray body = R"({
      "href": "https://api.spotify.com/v1/users/mira/playlists?offset=0&limit=50", "limit": 50, "next": null,
      "offset": 0, "previous": null, "total": 8,
      "items": [
        {"collaborative": false, "description": "", "external_urls": {"spotify": "https://open.spotify.com/playlist/3cEYpjA9oz9GiPac4AsH4n"},
         "href": "https://api.spotify.com/v1/playlists/3cEYpjA9oz9GiPac4AsH4n", "id": "3cEYpjA9oz9GiPac4AsH4n",
         "images": [{"height": null, "url": "https://mosaic.scdn.co/640/ab67616d0000b273", "width": null}],
         "name": "Morning", "owner": {"display_name": "Mira", "external_urls": {"spotify": "https://open.spotify.com/user/mira"},
         "href": "https://api.spotify.com/v1/users/mira", "id": "mira", "type": "user", "uri": "spotify:user:mira"},
         "primary_color": null, "public": true, "snapshot_id": "MTEsZmE3YzY2",
         "tracks": {"href": "https://api.spotify.com/v1/playlists/3cEYpjA9oz9GiPac4AsH4n/tracks", "total": 5},
         "type": "playlist", "uri": "spotify:playlist:3cEYpjA9oz9GiPac4AsH4n"},
        {"id": "37i9dQZF1DXcBWIGoYBM5M", "images": null, "owner": {"display_name": "Mira"}, "snapshot_id": null,
         "type": "playlist", "uri": "spotify:playlist:37i9dQZF1DXcBWIGoYBM5M"},
        {"id": "1h0CEZCm6IbFTbxThn6Xcs", "name": "Evening", "owner": {"id": "mira", "display_name": null}, "type": "playlist"},
        {"name": "From its uri", "owner": {}, "uri": "spotify:playlist:5ZtQrMT0OQcmGSRShGJqSN", "type": "playlist"},
        {"name": "Nothing to know it by", "owner": {"id": "mira"}, "type": "playlist"},
        {"name": "Wrong kind", "uri": "spotify:album:5ZtQrMT0OQcmGSRShGJqSN", "type": "playlist"},
        null,
        {"id": "0vvXsWCC9xrXsKd4FyS8kM", "name": "Owner by id only", "owner": {"id": 12}, "uri": "spotify:playlist:0vvXsWCC9xrXsKd4FyS8kM"}
      ]})";
    const auto page = decodeCatalogue<SpotifyPage<SpotifyPlaylist>>(body);
    QStringList ids, names, uris, owners;
    for (const SpotifyPlaylist &p : page.items) {
        ids.append(p.id);
        names.append(p.name);
        uris.append(p.uri);
        owners.append(p.owner ? p.owner->id : u"-"_s);
    }
    EXPECT_EQ(ids, (QStringList{u"3cEYpjA9oz9GiPac4AsH4n"_s, u"37i9dQZF1DXcBWIGoYBM5M"_s, u"1h0CEZCm6IbFTbxThn6Xcs"_s,
                                u"5ZtQrMT0OQcmGSRShGJqSN"_s, u"0vvXsWCC9xrXsKd4FyS8kM"_s}));
    EXPECT_EQ(names, (QStringList{u"Morning"_s, QString(), u"Evening"_s, u"From its uri"_s, u"Owner by id only"_s}));
    EXPECT_EQ(uris, (QStringList{u"spotify:playlist:3cEYpjA9oz9GiPac4AsH4n"_s, u"spotify:playlist:37i9dQZF1DXcBWIGoYBM5M"_s,
                                 u"spotify:playlist:1h0CEZCm6IbFTbxThn6Xcs"_s, u"spotify:playlist:5ZtQrMT0OQcmGSRShGJqSN"_s,
                                 u"spotify:playlist:0vvXsWCC9xrXsKd4FyS8kM"_s}));
    // An owner without an id is known by its display name; one with neither, or a broken
    // one, is no owner.
    EXPECT_EQ(owners, (QStringList{u"mira"_s, u"Mira"_s, u"mira"_s, u"-"_s, u"-"_s}));
    EXPECT_EQ(SpotifyPage<SpotifyPlaylist>::fromJson(page.toJson()), page);
}

TEST(CatalogueTypes, GarbageNeverCrashes)
{
    QByteArray nested;
    for (int i = 0; i < 3000; ++i)
        nested += R"({"items":[)";
    const QList<QByteArray> bodies = {
        "", "[]", "null", "\x80\x81\x82", R"({"items":[null],"next":{}})", R"({"items":"text"})",
        QByteArray(1 << 20, '{'), nested,
    };
    for (const QByteArray &body : bodies)
        EXPECT_THROW(decodeCatalogue<SpotifyPage<SpotifySavedAlbum>>(body), DecodeError);
}
