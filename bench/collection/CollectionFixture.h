#pragma once

#include "model/Library.h"

#include <QRandomGenerator>

namespace velloran::bench {

using namespace Qt::StringLiterals;

// A library of the size a large collection reaches, generated from a fixed seed.
struct CollectionSize {
    int albums = 5000;
    int playlists = 1000;
    int records = 2000;
};

inline QList<SpotifyImage> images(const QString &id)
{
    return {{u"https://i.scdn.test/image/"_s + id + u"/640"_s, 640},
            {u"https://i.scdn.test/image/"_s + id + u"/300"_s, 300},
            {u"https://i.scdn.test/image/"_s + id + u"/64"_s, 64}};
}

inline LibrarySnapshot generatedSnapshot(CollectionSize size = {})
{
    QRandomGenerator random(7);
    static const QStringList artists{u"The Orchids"_s, u"Theatre of Hate"_s, u"Nico"_s, u"Ana Frango"_s,
                                     u"Cocteau Twins"_s, u"Broadcast"_s, u"Stereolab"_s, u"Young Marble Giants"_s};
    LibrarySnapshot snapshot;
    snapshot.saved.reserve(size.albums);
    for (int i = 0; i < size.albums; ++i) {
        SpotifyAlbum album;
        album.id = u"album%1"_s.arg(i, 6, 10, QChar(u'0'));
        album.uri = u"spotify:album:"_s + album.id;
        album.name = u"Album number %1"_s.arg(i);
        album.artists = {{artists.at(random.bounded(artists.size()))}};
        if (i % 3 == 0)
            album.artists.append({artists.at(random.bounded(artists.size()))});
        album.images = images(album.id);
        album.releaseDate = QString::number(1960 + random.bounded(64)) + u"-04-12"_s;
        const std::optional<QString> addedAt =
            i % 50 == 0 ? std::nullopt
                        : std::optional(u"20%1-%2-1%3T12:34:56Z"_s.arg(10 + random.bounded(14)).arg(1 + random.bounded(9), 2, 10, QChar(u'0')).arg(random.bounded(9)));
        snapshot.saved.append({addedAt, album});
    }
    for (int i = 0; i < size.playlists; ++i) {
        SpotifyPlaylist playlist;
        playlist.id = u"playlist%1"_s.arg(i, 6, 10, QChar(u'0'));
        playlist.uri = u"spotify:playlist:"_s + playlist.id;
        playlist.name = u"Mix for a rainy day %1"_s.arg(i);
        playlist.images = images(playlist.id);
        playlist.owner = SpotifyOwner{u"owner%1"_s.arg(i % 40), u"Owner %1"_s.arg(i % 40)};
        playlist.snapshotId = u"snap-%1"_s.arg(i);
        snapshot.playlists.append(playlist);
    }
    for (int i = 0; i < size.records; ++i) {
        const bool isPlaylist = i % 4 == 0;
        QList<Track> tracks;
        const int count = 8 + random.bounded(10);
        for (int t = 0; t < count; ++t)
            tracks.append({u"spotify:track:%1x%2"_s.arg(i).arg(t), u"Track %1"_s.arg(t), artists.at(t % artists.size()),
                           120000 + random.bounded(240000)});
        const QString id = isPlaylist ? snapshot.playlists.at(i % size.playlists).id : snapshot.saved.at(i % size.albums).album.id;
        snapshot.records.append(Record::make(id, u"spotify:x:"_s + id, isPlaylist ? Record::Kind::playlist : Record::Kind::album,
                                             u"Record %1"_s.arg(i), artists.at(i % artists.size()),
                                             QUrl(u"https://i.scdn.test/image/"_s + id + u"/640"_s), u"1984"_s, tracks));
    }
    return snapshot;
}

} // namespace velloran::bench
