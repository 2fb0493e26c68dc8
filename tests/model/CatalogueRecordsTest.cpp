#include "model/Record.h"

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

SpotifyTrack catalogueTrack(const char *uri, std::optional<qint64> duration)
{
    SpotifyTrack track;
    if (uri)
        track.uri = QString::fromUtf8(uri);
    track.durationMs = duration;
    track.name = u"Name of "_s + QString::fromUtf8(uri ? uri : "nothing");
    track.artists = QList<SpotifyArtist>{{u"One"_s}, {u"Two"_s}};
    return track;
}

} // namespace

TEST(CatalogueRecords, KeepsOnlyPlayableSpotifyTracksInOrder)
{
    SpotifyTrack local = catalogueTrack("spotify:track:local", 1000);
    local.isLocal = true;
    SpotifyTrack unplayable = catalogueTrack("spotify:track:gone", 1000);
    unplayable.isPlayable = false;
    SpotifyTrack nameless = catalogueTrack("spotify:track:c", 3000);
    nameless.name.reset();
    nameless.artists.reset();
    SpotifyTrack explicitPlayable = catalogueTrack("spotify:track:d", 4000);
    explicitPlayable.isPlayable = true;
    explicitPlayable.isLocal = false;

    const QList<SpotifyTrack> tracks = {
        catalogueTrack("spotify:track:a", 1000), catalogueTrack(nullptr, 1000),
        catalogueTrack("spotify:episode:e", 1000), catalogueTrack("spotify:track:zero", 0),
        catalogueTrack("spotify:track:noduration", std::nullopt), local, unplayable,
        catalogueTrack("spotify:track:b", 2000), nameless, explicitPlayable,
        catalogueTrack("spotify:track:absurd", std::numeric_limits<qint64>::max()),
    };
    SpotifyAlbum album{u"al"_s, u"spotify:album:al"_s, u"Album"_s, {{u"X"_s}, {u"Y"_s}}, {}, {}, {}};
    const Record record = Record::fromAlbum(album, tracks);

    QStringList uris;
    for (const Track &t : record.tracks())
        uris.append(t.uri);
    EXPECT_EQ(uris, (QStringList{u"spotify:track:a"_s, u"spotify:track:b"_s, u"spotify:track:c"_s, u"spotify:track:d"_s}));
    EXPECT_EQ(record.tracks().front().artist, u"One, Two"_s);
    EXPECT_EQ(record.tracks()[2].title, QString());
    EXPECT_EQ(record.tracks()[2].artist, QString());
    EXPECT_EQ(record.artist, u"X, Y"_s);
    EXPECT_EQ(record.kind, Record::Kind::album);
    EXPECT_EQ(record.sides.size(), 2);
}

TEST(CatalogueRecords, AlbumYearAndArtwork)
{
    SpotifyAlbum album{u"al"_s, u"spotify:album:al"_s, u"Album"_s, {}, {}, u"1969-10-22"_s, {}};
    album.images = QList<SpotifyImage>{{u"https://i.example/small"_s, 64},
                                       {u"https://i.example/wide-first"_s, 640},
                                       {u"https://i.example/wide-second"_s, 640},
                                       {u"https://i.example/unknown"_s, std::nullopt}};
    Record record = Record::fromAlbum(album, {});
    EXPECT_EQ(record.year, u"1969"_s);
    EXPECT_EQ(record.artworkURL, QUrl(u"https://i.example/wide-first"_s));
    EXPECT_TRUE(record.sides.isEmpty());

    album.releaseDate = u"19"_s;
    album.images = QList<SpotifyImage>{{u"https://i.example/a"_s, std::nullopt}, {u"https://i.example/b"_s, std::nullopt}};
    record = Record::fromAlbum(album, {});
    EXPECT_EQ(record.year, u"19"_s);
    EXPECT_EQ(record.artworkURL, QUrl(u"https://i.example/a"_s));

    album.releaseDate.reset();
    album.images.reset();
    record = Record::fromAlbum(album, {});
    EXPECT_FALSE(record.year);
    EXPECT_FALSE(record.artworkURL);

    album.images = QList<SpotifyImage>{{u"http://[broken"_s, 300}};
    EXPECT_FALSE(Record::fromAlbum(album, {}).artworkURL);
}

TEST(CatalogueRecords, PlaylistArtistComesFromTheOwner)
{
    SpotifyPlaylist playlist{u"pl"_s, u"spotify:playlist:pl"_s, u"Mix"_s, {}, SpotifyOwner{u"owner-id"_s, u"Ada"_s}, u"s1"_s};
    EXPECT_EQ(Record::fromPlaylist(playlist, {}).artist, u"Ada"_s);
    playlist.owner->displayName.reset();
    EXPECT_EQ(Record::fromPlaylist(playlist, {}).artist, u"owner-id"_s);
    playlist.owner.reset();
    const Record record = Record::fromPlaylist(playlist, {catalogueTrack("spotify:track:only", 5000)});
    EXPECT_EQ(record.artist, QString());
    EXPECT_FALSE(record.year);
    EXPECT_EQ(record.kind, Record::Kind::playlist);
    EXPECT_EQ(record.sides.size(), 1);
}
