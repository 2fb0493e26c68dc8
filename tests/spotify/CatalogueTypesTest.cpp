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

TEST(CatalogueTypes, MissingOrMistypedRequiredFieldsFailNamingTheField)
{
    const QList<std::pair<QByteArray, QString>> cases = {
        {R"({"next":null})", u"items"_s},
        {R"({"items":[{"album":{"uri":"u","name":"n","artists":[]}}]})", u"items[0].album.id"_s},
        {R"({"items":[{"album":{"id":5,"uri":"u","name":"n","artists":[]}}]})", u"items[0].album.id"_s},
        {R"({"items":[{"album":{"id":"i","uri":"u","name":"n","artists":[{}]}}]})", u"items[0].album.artists[0].name"_s},
        {R"({"items":[{"album":{"id":"i","uri":"u","name":"n","artists":[],"images":[{"url":"x","width":"640"}]}}]})",
         u"items[0].album.images[0].width"_s},
        {R"({"items":[{"album":{"id":"i","uri":"u","name":"n","artists":[],"tracks":{"items":[{"duration_ms":1e40}]}}}]})",
         u"items[0].album.tracks.items[0].duration_ms"_s},
        {R"({"items":[{"album":null}]})", u"items[0].album"_s},
        {R"({"items":{}})", u"items"_s},
        {R"({"items":[],"next":7})", u"next"_s},
    };
    for (const auto &[body, field] : cases) {
        try {
            decodeCatalogue<SpotifyPage<SpotifySavedAlbum>>(body);
            ADD_FAILURE() << body.constData();
        } catch (const DecodeError &error) {
            EXPECT_TRUE(error.message().contains(u'"' + field + u'"')) << error.what();
        }
    }
}

TEST(CatalogueTypes, GarbageNeverCrashes)
{
    QByteArray nested;
    for (int i = 0; i < 3000; ++i)
        nested += R"({"items":[)";
    const QList<QByteArray> bodies = {
        "", "[]", "null", "\x80\x81\x82", R"({"items":[null]})", R"({"items":[{"album":"text"}]})",
        QByteArray(1 << 20, '{'), nested,
    };
    for (const QByteArray &body : bodies)
        EXPECT_THROW(decodeCatalogue<SpotifyPage<SpotifySavedAlbum>>(body), DecodeError);
}
