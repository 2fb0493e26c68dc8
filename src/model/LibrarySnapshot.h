#pragma once

#include "model/Record.h"
#include "spotify/CatalogueTypes.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>

namespace velloran {

// What "library.json" holds: the saved albums and playlists as fetched, and the records
// built from them so far.
struct LibrarySnapshot {
    QList<SpotifySavedAlbum> saved;
    QList<SpotifyPlaylist> playlists;
    QList<Record> records;

    QJsonObject toJson() const;
    // Throws DecodeError unless all three lists are present and every element reads.
    static LibrarySnapshot fromJson(const QJsonValue &value);
};

} // namespace velloran
