#include "model/PlayHistoryEntry.h"

#include "core/Json.h"

using namespace Qt::StringLiterals;

namespace velloran {

QJsonObject PlayHistoryEntry::toJson() const
{
    return {{"item"_L1, item.toJson()}, {"playedAt"_L1, toReferenceSeconds(playedAt)}};
}

PlayHistoryEntry PlayHistoryEntry::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    if (!r.has("item"_L1))
        JsonReader::fail(r.childPath("item"_L1), u"the field is missing"_s);
    const double playedAt = r.number("playedAt"_L1);
    if (!isReferenceSecondsInRange(playedAt))
        JsonReader::fail(r.childPath("playedAt"_L1), u"the date is out of range"_s);
    return {LibraryItem::fromJson(r.value("item"_L1), r.childPath("item"_L1)), fromReferenceSeconds(playedAt)};
}

} // namespace velloran
