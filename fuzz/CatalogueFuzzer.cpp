// The Web API's answers: every record type the program decodes, and the records built from
// a decoded album or playlist. Whatever decodes must encode and decode to the same value.

#include "FuzzCheck.h"

#include "core/Json.h"
#include "model/Record.h"
#include "spotify/CatalogueTypes.h"

using namespace velloran;
using velloran::fuzz::require;

namespace {

template<typename T>
std::optional<T> decode(const QJsonValue &value)
{
    try {
        T decoded = T::fromJson(value);
        require(T::fromJson(decoded.toJson()) == decoded, "a decoded record encodes to itself");
        return decoded;
    } catch (const DecodeError &) {
        return std::nullopt;
    }
}

QList<SpotifyTrack> tracksOf(const QList<SpotifyPlaylistItem> &items)
{
    QList<SpotifyTrack> tracks;
    for (const SpotifyPlaylistItem &item : items)
        if (const auto &track = item.item ? item.item : item.track)
            tracks.append(*track);
    return tracks;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QJsonValue value;
    try {
        value = parseJson(fuzz::bytesOf(data, size));
    } catch (const DecodeError &) {
        return 0;
    }
    decode<SpotifyPage<SpotifySavedAlbum>>(value);
    decode<SpotifyPage<SpotifyPlaylist>>(value);
    decode<SpotifyPage<SpotifyTrack>>(value);
    const auto items = decode<SpotifyPage<SpotifyPlaylistItem>>(value);
    const auto album = decode<SpotifyAlbum>(value);
    const auto playlist = decode<SpotifyPlaylist>(value);

    // The records built from what decoded: sides, durations and artwork choice.
    if (album) {
        const Record record = Record::fromAlbum(*album, album->tracks ? album->tracks->items : QList<SpotifyTrack>{});
        require(Record::fromJson(record.toJson()) == record, "a record from an album encodes to itself");
    }
    if (playlist && items) {
        const Record record = Record::fromPlaylist(*playlist, tracksOf(items->items));
        require(Record::fromJson(record.toJson()) == record, "a record from a playlist encodes to itself");
    }
    return 0;
}
