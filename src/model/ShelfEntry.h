#pragma once

#include "core/Clock.h"
#include "model/LibraryItem.h"

#include <QMetaType>
#include <QString>
#include <QUrl>

#include <optional>

namespace velloran {

// What every browsing scene shows for one album or playlist of the library: the item, the
// lines on its spine and label, its cover, and the values the shelves sort by.
struct ShelfEntry {
    LibraryItem item;
    QString title;
    QString artist;
    std::optional<QUrl> artworkURL;
    std::optional<QString> year;
    std::optional<Instant> addedAt;
    qint64 order = 0;

    // The entry for a record that is not necessarily on the shelves (the sleeve on the table).
    static ShelfEntry fromRecord(const Record &record);

    // The identity of the entry in the lists the scenes draw: the title followed by the
    // item's description, as in Bluealbum("abc").
    QString id() const { return title + item.description(); }

    bool operator==(const ShelfEntry &) const = default;
};

} // namespace velloran

Q_DECLARE_METATYPE(velloran::ShelfEntry)
