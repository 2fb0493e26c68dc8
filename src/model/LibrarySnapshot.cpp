#include "model/LibrarySnapshot.h"

#include "core/Json.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

template<typename T>
QJsonArray jsonArray(const QList<T> &list)
{
    QJsonArray array;
    for (const T &element : list)
        array.append(element.toJson());
    return array;
}

} // namespace

QJsonObject LibrarySnapshot::toJson() const
{
    return {{"saved"_L1, jsonArray(saved)}, {"playlists"_L1, jsonArray(playlists)}, {"records"_L1, jsonArray(records)}};
}

LibrarySnapshot LibrarySnapshot::fromJson(const QJsonValue &value)
{
    const JsonReader r(value, QString());
    return {r.list<SpotifySavedAlbum>("saved"_L1, &SpotifySavedAlbum::fromJson),
            r.list<SpotifyPlaylist>("playlists"_L1, &SpotifyPlaylist::fromJson),
            r.list<Record>("records"_L1, &Record::fromJson)};
}

} // namespace velloran
