#pragma once

// The Web API's records as the program reads them. Decoding follows the service's
// snake_case keys, ignores keys it does not know and accepts optional fields missing or
// null. A record fails (with the field's path in the message) when something it cannot do
// without is missing or of the wrong type; inside a list, such an element is left out and
// the rest kept, so one odd entry never hides a whole page. What the service's own schema
// lets it leave out is filled in where it can be: a missing name is empty, a missing uri is
// built from the id and a missing id read from the uri, an owner without an id is known by
// its display name. Encoding writes the same, complete form back.

#include "core/Json.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace velloran {

struct SpotifyArtist {
    QString name;

    static SpotifyArtist fromJson(const QJsonValue &value, const QString &path = {});
    QJsonObject toJson() const;
    bool operator==(const SpotifyArtist &) const = default;
};

struct SpotifyImage {
    QString url;
    std::optional<qint64> width;

    static SpotifyImage fromJson(const QJsonValue &value, const QString &path = {});
    QJsonObject toJson() const;
    bool operator==(const SpotifyImage &) const = default;
};

struct SpotifyTrack {
    std::optional<QString> uri;
    std::optional<QString> name;
    std::optional<qint64> durationMs;
    std::optional<QList<SpotifyArtist>> artists;
    std::optional<bool> isPlayable;
    std::optional<bool> isLocal;
    std::optional<QString> type;

    static SpotifyTrack fromJson(const QJsonValue &value, const QString &path = {});
    QJsonObject toJson() const;
    bool operator==(const SpotifyTrack &) const = default;
};

template<typename Element>
struct SpotifyPage {
    QList<Element> items;
    std::optional<QString> next;

    static SpotifyPage fromJson(const QJsonValue &value, const QString &path = {})
    {
        const JsonReader reader(value, path);
        SpotifyPage page;
        page.items = reader.readableList<Element>(QLatin1StringView("items"), &Element::fromJson);
        page.next = reader.optionalString(QLatin1StringView("next"));
        return page;
    }

    QJsonObject toJson() const
    {
        QJsonArray array;
        for (const Element &item : items)
            array.append(item.toJson());
        QJsonObject object{{QLatin1StringView("items"), array}};
        object.insert(QLatin1StringView("next"), next ? QJsonValue(*next) : QJsonValue(QJsonValue::Null));
        return object;
    }

    bool operator==(const SpotifyPage &) const = default;
};

struct SpotifyAlbum {
    QString id;
    QString uri;
    QString name;
    QList<SpotifyArtist> artists;
    std::optional<QList<SpotifyImage>> images;
    std::optional<QString> releaseDate;
    std::optional<SpotifyPage<SpotifyTrack>> tracks;

    static SpotifyAlbum fromJson(const QJsonValue &value, const QString &path = {});
    QJsonObject toJson() const;
    bool operator==(const SpotifyAlbum &) const = default;
};

struct SpotifySavedAlbum {
    std::optional<QString> addedAt;
    SpotifyAlbum album;

    static SpotifySavedAlbum fromJson(const QJsonValue &value, const QString &path = {});
    QJsonObject toJson() const;
    bool operator==(const SpotifySavedAlbum &) const = default;
};

struct SpotifyOwner {
    QString id;
    std::optional<QString> displayName;

    static SpotifyOwner fromJson(const QJsonValue &value, const QString &path = {});
    QJsonObject toJson() const;
    bool operator==(const SpotifyOwner &) const = default;
};

struct SpotifyPlaylist {
    QString id;
    QString uri;
    QString name;
    std::optional<QList<SpotifyImage>> images;
    std::optional<SpotifyOwner> owner;
    std::optional<QString> snapshotId;

    static SpotifyPlaylist fromJson(const QJsonValue &value, const QString &path = {});
    QJsonObject toJson() const;
    bool operator==(const SpotifyPlaylist &) const = default;
};

struct SpotifyPlaylistItem {
    std::optional<SpotifyTrack> item;
    std::optional<SpotifyTrack> track;

    static SpotifyPlaylistItem fromJson(const QJsonValue &value, const QString &path = {});
    QJsonObject toJson() const;
    bool operator==(const SpotifyPlaylistItem &) const = default;
};

// Decodes a whole answer body of the service as one record type.
template<typename T>
T decodeCatalogue(const QByteArray &body)
{
    return T::fromJson(parseJson(body));
}

} // namespace velloran
