#include "model/LibraryItem.h"

#include "core/Json.h"

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

QLatin1StringView caseName(LibraryItem::Kind kind)
{
    return kind == LibraryItem::Kind::album ? "album"_L1 : "playlist"_L1;
}

} // namespace

LibraryItem LibraryItem::of(const Record &record)
{
    return record.kind == Record::Kind::playlist ? playlist(record.id) : album(record.id);
}

QString LibraryItem::description() const
{
    return caseName(kind) + u"(\""_s + id + u"\")"_s;
}

QJsonObject LibraryItem::toJson() const
{
    return {{caseName(kind), QJsonObject{{"_0"_L1, id}}}};
}

LibraryItem LibraryItem::fromJson(const QJsonValue &value, const QString &path)
{
    const JsonReader r(value, path);
    if (r.object().size() != 1)
        throw DecodeError(u"Invalid number of keys found, expected one."_s);
    const QString key = r.object().constBegin().key();
    Kind kind;
    if (key == "album"_L1)
        kind = Kind::album;
    else if (key == "playlist"_L1)
        kind = Kind::playlist;
    else
        JsonReader::fail(r.path().isEmpty() ? key : r.path() + u'.' + key, u"expected \"album\" or \"playlist\""_s);
    const JsonReader payload(r.value(caseName(kind)), r.childPath(caseName(kind)));
    return {kind, payload.string("_0"_L1)};
}

} // namespace velloran
