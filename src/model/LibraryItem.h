#pragma once

#include "model/Record.h"

#include <QHashFunctions>
#include <QJsonObject>
#include <QMetaType>
#include <QString>

namespace velloran {

// The identity of one entry of the library: a saved album or a playlist, by Spotify id.
// An album and a playlist with the same id are different items.
struct LibraryItem {
    enum class Kind { album, playlist };

    Kind kind = Kind::album;
    QString id;

    static LibraryItem album(QString id) { return {Kind::album, std::move(id)}; }
    static LibraryItem playlist(QString id) { return {Kind::playlist, std::move(id)}; }
    // The item a record stands for, by its kind.
    static LibraryItem of(const Record &record);

    // album("abc"), the form that also goes into a shelf entry's identity.
    QString description() const;

    // {"album": {"_0": "abc"}}
    QJsonObject toJson() const;
    static LibraryItem fromJson(const QJsonValue &value, const QString &path = {});

    bool operator==(const LibraryItem &) const = default;
};

inline size_t qHash(const LibraryItem &item, size_t seed = 0) noexcept
{
    return qHashMulti(seed, static_cast<int>(item.kind), item.id);
}

} // namespace velloran

Q_DECLARE_METATYPE(velloran::LibraryItem)
