#pragma once

#include "core/Instant.h"
#include "model/LibraryItem.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QMetaType>
#include <QString>

namespace velloran {

// One entry of the play history as "history.json" stores it: the item and when it was last
// played (seconds since 2001).
struct PlayHistoryEntry {
    LibraryItem item;
    Instant playedAt;

    QJsonObject toJson() const;
    // Throws DecodeError unless both fields are present and the date is within range.
    static PlayHistoryEntry fromJson(const QJsonValue &value, const QString &path = {});
    bool operator==(const PlayHistoryEntry &) const = default;
};

} // namespace velloran

Q_DECLARE_METATYPE(velloran::PlayHistoryEntry)
