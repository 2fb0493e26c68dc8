// The program's own stored forms, read back from files anyone could have edited: a record,
// the library's snapshot and the play history. What reads must write back the same.

#include "FuzzCheck.h"

#include "core/Json.h"
#include "model/LibrarySnapshot.h"
#include "model/PlayHistoryEntry.h"
#include "model/Record.h"

using namespace velloran;
using velloran::fuzz::require;

namespace {

template<typename T>
void roundTrip(const QJsonValue &value)
{
    try {
        const T decoded = T::fromJson(value);
        require(T::fromJson(decoded.toJson()) == decoded, "a stored value reads back the same");
    } catch (const DecodeError &) {
    }
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
    roundTrip<Record>(value);
    roundTrip<LibraryItem>(value);
    roundTrip<PlayHistoryEntry>(value);

    try {
        const LibrarySnapshot snapshot = LibrarySnapshot::fromJson(value);
        const LibrarySnapshot again = LibrarySnapshot::fromJson(snapshot.toJson());
        require(again.saved == snapshot.saved && again.playlists == snapshot.playlists && again.records == snapshot.records,
                "a snapshot reads back the same");
    } catch (const DecodeError &) {
    }
    if (value.isArray()) {
        try {
            JsonReader::readList<PlayHistoryEntry>(value.toArray(), QString(), &PlayHistoryEntry::fromJson);
        } catch (const DecodeError &) {
        }
    }
    return 0;
}
