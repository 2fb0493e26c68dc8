// Turning the catalogue's albums and playlists into records.

#include "model/Record.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

QString joinedNames(const std::optional<QList<SpotifyArtist>> &artists)
{
    QStringList names;
    if (artists)
        for (const SpotifyArtist &artist : *artists)
            names.append(artist.name);
    return names.join(u", "_s);
}

bool isAccepted(const SpotifyTrack &track)
{
    return track.uri && track.uri->startsWith("spotify:track:"_L1) && track.durationMs
        && *track.durationMs >= 1 && *track.durationMs <= maxTrackDurationMs && !track.isLocal.value_or(false)
        && track.isPlayable.value_or(true);
}

QList<Track> acceptedTracks(const QList<SpotifyTrack> &catalogue)
{
    QList<Track> tracks;
    for (const SpotifyTrack &t : catalogue) {
        if (isAccepted(t))
            tracks.append({*t.uri, t.name.value_or(QString()), joinedNames(t.artists), *t.durationMs});
    }
    return tracks;
}

} // namespace

std::optional<QUrl> artworkChoice(const std::optional<QList<SpotifyImage>> &images)
{
    if (!images || images->isEmpty())
        return std::nullopt;
    const SpotifyImage *widest = &images->front();
    for (const SpotifyImage &image : *images)
        if (image.width.value_or(0) > widest->width.value_or(0))
            widest = &image;
    return stableUrl(widest->url);
}


Record Record::fromAlbum(const SpotifyAlbum &album, const QList<SpotifyTrack> &tracks)
{
    std::optional<QString> year;
    if (album.releaseDate)
        year = album.releaseDate->left(4);
    QStringList artists;
    for (const SpotifyArtist &artist : album.artists)
        artists.append(artist.name);
    return make(album.id, album.uri, Kind::album, album.name, artists.join(u", "_s), artworkChoice(album.images), year,
                acceptedTracks(tracks));
}

Record Record::fromPlaylist(const SpotifyPlaylist &playlist, const QList<SpotifyTrack> &tracks)
{
    QString artist;
    if (playlist.owner)
        artist = playlist.owner->displayName.value_or(playlist.owner->id);
    return make(playlist.id, playlist.uri, Kind::playlist, playlist.name, artist, artworkChoice(playlist.images),
                std::nullopt, acceptedTracks(tracks));
}

} // namespace velloran
