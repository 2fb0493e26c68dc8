#include "model/ShelfEntry.h"

namespace velloran {

ShelfEntry ShelfEntry::fromRecord(const Record &record)
{
    return {LibraryItem::of(record), record.title, record.artist, record.artworkURL, record.year, std::nullopt, 0};
}

} // namespace velloran
