#include "spotify/CatalogueTypes.h"

#include <tuple>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

void putOptional(QJsonObject &object, QLatin1StringView key, const std::optional<QString> &value)
{
    if (value)
        object.insert(key, *value);
}

void putOptional(QJsonObject &object, QLatin1StringView key, const std::optional<qint64> &value)
{
    if (value)
        object.insert(key, *value);
}

void putOptional(QJsonObject &object, QLatin1StringView key, const std::optional<bool> &value)
{
    if (value)
        object.insert(key, *value);
}

template<typename T>
QJsonArray toArray(const QList<T> &list)
{
    QJsonArray array;
    for (const T &element : list)
        array.append(element.toJson());
    return array;
}

template<typename T>
void putOptional(QJsonObject &object, QLatin1StringView key, const std::optional<QList<T>> &list)
{
    if (list)
        object.insert(key, toArray(*list));
}

template<typename T>
std::optional<T> optionalRecord(const JsonReader &reader, QLatin1StringView key)
{
    if (!reader.has(key))
        return std::nullopt;
    return T::fromJson(reader.value(key), reader.childPath(key));
}

// An optional record that cannot be read counts as absent.
template<typename T>
std::optional<T> readableRecord(const JsonReader &reader, QLatin1StringView key)
{
    try {
        return optionalRecord<T>(reader, key);
    } catch (const DecodeError &) {
        return std::nullopt;
    }
}

// The id and uri of an album or a playlist ("spotify:<kind>:<id>"), each from the other
// when one is missing; neither fails at the id.
std::pair<QString, QString> idAndUri(const JsonReader &reader, QLatin1StringView kind)
{
    const std::optional<QString> id = reader.optionalString("id"_L1);
    const std::optional<QString> uri = reader.optionalString("uri"_L1);
    const QString prefix = u"spotify:"_s + kind + u':';
    if (id && !id->isEmpty())
        return {*id, uri.value_or(prefix + *id)};
    if (uri && uri->startsWith(prefix) && uri->size() > prefix.size())
        return {uri->mid(prefix.size()), *uri};
    JsonReader::fail(reader.childPath("id"_L1), u"the field is missing"_s);
}

} // namespace

SpotifyArtist SpotifyArtist::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    return {r.string("name"_L1)};
}

QJsonObject SpotifyArtist::toJson() const
{
    return {{"name"_L1, name}};
}

SpotifyImage SpotifyImage::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    return {r.string("url"_L1), r.optionalInteger("width"_L1)};
}

QJsonObject SpotifyImage::toJson() const
{
    QJsonObject object{{"url"_L1, url}};
    putOptional(object, "width"_L1, width);
    return object;
}

SpotifyTrack SpotifyTrack::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    SpotifyTrack track;
    track.uri = r.optionalString("uri"_L1);
    track.name = r.optionalString("name"_L1);
    track.durationMs = r.optionalInteger("duration_ms"_L1);
    track.artists = r.optionalReadableList<SpotifyArtist>("artists"_L1, &SpotifyArtist::fromJson);
    track.isPlayable = r.optionalBool("is_playable"_L1);
    track.isLocal = r.optionalBool("is_local"_L1);
    track.type = r.optionalString("type"_L1);
    return track;
}

QJsonObject SpotifyTrack::toJson() const
{
    QJsonObject object;
    putOptional(object, "uri"_L1, uri);
    putOptional(object, "name"_L1, name);
    putOptional(object, "duration_ms"_L1, durationMs);
    putOptional(object, "artists"_L1, artists);
    putOptional(object, "is_playable"_L1, isPlayable);
    putOptional(object, "is_local"_L1, isLocal);
    putOptional(object, "type"_L1, type);
    return object;
}

SpotifyAlbum SpotifyAlbum::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    SpotifyAlbum album;
    std::tie(album.id, album.uri) = idAndUri(r, "album"_L1);
    album.name = r.optionalString("name"_L1).value_or(QString());
    album.artists = r.optionalReadableList<SpotifyArtist>("artists"_L1, &SpotifyArtist::fromJson).value_or(QList<SpotifyArtist>());
    album.images = r.optionalReadableList<SpotifyImage>("images"_L1, &SpotifyImage::fromJson);
    album.releaseDate = r.optionalString("release_date"_L1);
    album.tracks = readableRecord<SpotifyPage<SpotifyTrack>>(r, "tracks"_L1);
    return album;
}

QJsonObject SpotifyAlbum::toJson() const
{
    QJsonObject object{{"id"_L1, id}, {"uri"_L1, uri}, {"name"_L1, name}, {"artists"_L1, toArray(artists)}};
    putOptional(object, "images"_L1, images);
    putOptional(object, "release_date"_L1, releaseDate);
    if (tracks)
        object.insert("tracks"_L1, tracks->toJson());
    return object;
}

SpotifySavedAlbum SpotifySavedAlbum::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    SpotifySavedAlbum saved;
    saved.addedAt = r.optionalString("added_at"_L1);
    if (!r.has("album"_L1))
        JsonReader::fail(r.childPath("album"_L1), u"the field is missing"_s);
    saved.album = SpotifyAlbum::fromJson(r.value("album"_L1), r.childPath("album"_L1));
    return saved;
}

QJsonObject SpotifySavedAlbum::toJson() const
{
    QJsonObject object{{"album"_L1, album.toJson()}};
    putOptional(object, "added_at"_L1, addedAt);
    return object;
}

SpotifyOwner SpotifyOwner::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    const std::optional<QString> displayName = r.optionalString("display_name"_L1);
    if (const std::optional<QString> id = r.optionalString("id"_L1); id || !displayName)
        return {r.string("id"_L1), displayName};
    return {*displayName, displayName};
}

QJsonObject SpotifyOwner::toJson() const
{
    QJsonObject object{{"id"_L1, id}};
    putOptional(object, "display_name"_L1, displayName);
    return object;
}

SpotifyPlaylist SpotifyPlaylist::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    SpotifyPlaylist playlist;
    std::tie(playlist.id, playlist.uri) = idAndUri(r, "playlist"_L1);
    playlist.name = r.optionalString("name"_L1).value_or(QString());
    playlist.images = r.optionalReadableList<SpotifyImage>("images"_L1, &SpotifyImage::fromJson);
    playlist.owner = readableRecord<SpotifyOwner>(r, "owner"_L1);
    playlist.snapshotId = r.optionalString("snapshot_id"_L1);
    return playlist;
}

QJsonObject SpotifyPlaylist::toJson() const
{
    QJsonObject object{{"id"_L1, id}, {"uri"_L1, uri}, {"name"_L1, name}};
    putOptional(object, "images"_L1, images);
    if (owner)
        object.insert("owner"_L1, owner->toJson());
    putOptional(object, "snapshot_id"_L1, snapshotId);
    return object;
}

SpotifyPlaylistItem SpotifyPlaylistItem::fromJson(const QJsonValue &value, const QString &path)
{
    // The service lists an item it can no longer show as null; it holds no track.
    if (value.isNull())
        return {};
    const JsonReader r(value, path);
    return {readableRecord<SpotifyTrack>(r, "item"_L1), readableRecord<SpotifyTrack>(r, "track"_L1)};
}

QJsonObject SpotifyPlaylistItem::toJson() const
{
    QJsonObject object;
    if (item)
        object.insert("item"_L1, item->toJson());
    if (track)
        object.insert("track"_L1, track->toJson());
    return object;
}

} // namespace velloran
