#pragma once

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace velloran::standin {

// The library the stand-in serves. A fixture is a JSON object:
//   {"albums":    [album objects as the Web API writes them, plus "added_at", with
//                  "tracks" as a plain array of track objects],
//    "playlists": [playlist objects, plus "items" (a plain array of playlist items as
//                  the service's "tracks" resource writes them, nulls allowed),
//                  "readable" (false: its items answer 403) and
//                  "itemsResource" (false: only the older "tracks" resource has them)]}
// Image URLs that start with "/" are served relative to the stand-in.
class Catalogue {
public:
    struct Playlist {
        QJsonObject playlist;
        QJsonArray items;
        bool readable = true;
        bool itemsResource = true;
    };

    struct GeneratorOptions {
        int albums = 24;
        int playlists = 6;
        quint32 seed = 1;
    };

    QList<QJsonObject> albums;
    QList<Playlist> playlists;

    // Throws DecodeError when the fixture is not of the form above.
    static Catalogue fromJson(const QJsonObject &fixture);
    // Reads a fixture file; throws DecodeError (also for an unreadable file).
    static Catalogue load(const QString &fileName);
    QJsonObject toJson() const;

    // A deterministic library: the same options give the same catalogue. Every kind of
    // awkward entry the real service has occurs in it (episodes, local files, unplayable
    // tracks, null items, unreadable playlists, playlists only under "tracks").
    static Catalogue generate(const GeneratorOptions &options);
    // The small built-in library the stand-in serves when given no fixture.
    static Catalogue sample() { return generate({}); }

    const QJsonObject *album(const QString &id) const;
    const Playlist *playlist(const QString &id) const;

    // Call after changing `albums` or `playlists` by hand.
    void reindex();

private:
    QHash<QString, qsizetype> m_albumIndex;
    QHash<QString, qsizetype> m_playlistIndex;
};

} // namespace velloran::standin
