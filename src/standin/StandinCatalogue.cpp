#include "standin/StandinCatalogue.h"

#include "core/Json.h"

#include <QFile>
#include <QRandomGenerator>

#include <array>

using namespace Qt::StringLiterals;

namespace velloran::standin {

namespace {

constexpr qint64 maxFixtureBytes = qint64(1) << 30;

const std::array<const char *, 24> words = {
    "Amber", "Harbour", "Lantern", "Quiet", "Copper", "Meadow", "Northern", "Velvet",
    "Hollow", "Signal", "Paper", "Winter", "Orchard", "Static", "Ember", "Tide",
    "Glass", "Summer", "Echo", "Salt", "Cinder", "River", "Midnight", "Cloud"};

const std::array<const char *, 12> artistNames = {
    "The Lowland Choir", "Mara Quist", "Field Static", "Oda Brenner", "Halcyon Rooms", "Tomas Vey",
    "Nightjar Ensemble", "Ilse Moreau", "Paper Kites Club", "Juno Hart", "The Wrens", "Kasimir Lund"};

class Generator {
public:
    explicit Generator(quint32 seed) : m_random(seed) {}

    int roll(int below) { return int(m_random.bounded(quint32(below))); }

    QString id()
    {
        static constexpr char alphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        QString text(22, Qt::Uninitialized);
        for (QChar &c : text)
            c = QLatin1Char(alphabet[roll(62)]);
        return text;
    }

    QString title(int minWords, int maxWords)
    {
        const int count = minWords + int(roll(maxWords - minWords + 1));
        QStringList parts;
        for (int i = 0; i < count; ++i)
            parts.append(QString::fromLatin1(words[roll(int(words.size()))]));
        return parts.join(u' ');
    }

    QJsonArray artists()
    {
        QJsonArray list{QJsonObject{{u"name"_s, QString::fromLatin1(artistNames[roll(int(artistNames.size()))])}}};
        if (roll(6) == 0)
            list.append(QJsonObject{{u"name"_s, QString::fromLatin1(artistNames[roll(int(artistNames.size()))])}});
        return list;
    }

    QJsonObject track(const QJsonArray &artists, int number)
    {
        const QString trackId = id();
        return {{u"id"_s, trackId},
                {u"uri"_s, QString(u"spotify:track:"_s + trackId)},
                {u"name"_s, title(1, 4)},
                {u"duration_ms"_s, 90000 + int(roll(330000))},
                {u"artists"_s, artists},
                {u"is_playable"_s, roll(40) != 0},
                {u"is_local"_s, false},
                {u"track_number"_s, number},
                {u"type"_s, u"track"_s}};
    }

    static QJsonArray images(const QString &id)
    {
        QJsonArray list;
        for (const int size : {640, 300, 64})
            list.append(QJsonObject{{u"url"_s, QString(u"/covers/"_s + id + u"/"_s + QString::number(size))},
                                    {u"width"_s, size},
                                    {u"height"_s, size}});
        return list;
    }

    QJsonObject album(int index)
    {
        const QString albumId = id();
        const QJsonArray albumArtists = artists();
        QJsonArray tracks;
        const int count = 4 + int(roll(15));
        for (int i = 1; i <= count; ++i)
            tracks.append(track(albumArtists, i));
        const int year = 1958 + int(roll(67));
        return {{u"id"_s, albumId},
                {u"uri"_s, QString(u"spotify:album:"_s + albumId)},
                {u"name"_s, title(1, 3)},
                {u"album_type"_s, u"album"_s},
                {u"artists"_s, albumArtists},
                {u"images"_s, images(albumId)},
                {u"release_date"_s, QString(QString::number(year) + u"-0"_s + QString::number(1 + index % 9) + u"-1"_s
                                            + QString::number(index % 10))},
                {u"total_tracks"_s, count},
                {u"added_at"_s, QString(u"2024-"_s + QString::number(10 + index % 3) + u"-1"_s + QString::number(index % 10)
                                        + u"T12:00:00Z"_s)},
                {u"tracks"_s, tracks}};
    }

    QJsonValue playlistItem(int index)
    {
        if (index % 29 == 28)
            return QJsonValue(QJsonValue::Null);
        QJsonObject entry{{u"added_at"_s, u"2025-01-01T00:00:00Z"_s}, {u"is_local"_s, false}};
        if (index % 31 == 30) {
            entry.insert(u"track"_s, QJsonValue(QJsonValue::Null));
        } else if (index % 17 == 16) {
            const QString episodeId = id();
            entry.insert(u"track"_s, QJsonObject{{u"uri"_s, QString(u"spotify:episode:"_s + episodeId)},
                                                 {u"name"_s, title(2, 4)},
                                                 {u"duration_ms"_s, 1200000 + int(roll(1800000))},
                                                 {u"type"_s, u"episode"_s}});
        } else if (index % 23 == 22) {
            entry.insert(u"is_local"_s, true);
            entry.insert(u"track"_s, QJsonObject{{u"uri"_s, QString(u"spotify:local:::"_s + title(1, 2) + u":200"_s)},
                                                 {u"name"_s, title(1, 2)},
                                                 {u"duration_ms"_s, 200000},
                                                 {u"is_local"_s, true},
                                                 {u"type"_s, u"track"_s}});
        } else {
            entry.insert(u"track"_s, track(artists(), index + 1));
        }
        return entry;
    }

    Catalogue::Playlist playlist(int index)
    {
        const QString playlistId = id();
        QJsonArray items;
        const int count = 1 + int(roll(90));
        for (int i = 0; i < count; ++i)
            items.append(playlistItem(i + index));
        const bool own = index % 5 != 4;
        QJsonObject object{{u"id"_s, playlistId},
                           {u"uri"_s, QString(u"spotify:playlist:"_s + playlistId)},
                           {u"name"_s, title(1, 3)},
                           {u"images"_s, images(playlistId)},
                           {u"owner"_s, QJsonObject{{u"id"_s, own ? u"listener"_s : u"curator"_s},
                                                    {u"display_name"_s, own ? u"Listener"_s : u"Curator"_s}}},
                           {u"snapshot_id"_s, id()},
                           {u"public"_s, false}};
        return {object, items, index % 13 != 3, index % 7 != 2};
    }

private:
    QRandomGenerator m_random;
};

} // namespace

Catalogue Catalogue::fromJson(const QJsonObject &fixture)
{
    const JsonReader reader(fixture, {});
    Catalogue catalogue;
    catalogue.albums = reader.optionalList<QJsonObject>("albums"_L1, [](const QJsonValue &value, const QString &path) {
        const JsonReader album(value, path);
        album.string("id"_L1);
        album.array("tracks"_L1);
        return album.object();
    }).value_or(QList<QJsonObject>{});
    catalogue.playlists = reader.optionalList<Playlist>("playlists"_L1, [](const QJsonValue &value, const QString &path) {
        const JsonReader entry(value, path);
        entry.string("id"_L1);
        Playlist playlist;
        playlist.items = entry.array("items"_L1);
        playlist.readable = entry.optionalBool("readable"_L1).value_or(true);
        playlist.itemsResource = entry.optionalBool("itemsResource"_L1).value_or(true);
        playlist.playlist = entry.object();
        for (const auto key : {"items"_L1, "readable"_L1, "itemsResource"_L1})
            playlist.playlist.remove(key);
        return playlist;
    }).value_or(QList<Playlist>{});
    catalogue.reindex();
    return catalogue;
}

Catalogue Catalogue::load(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw DecodeError(u"Cannot read the catalogue "_s + fileName + u": "_s + file.errorString());
    if (file.size() > maxFixtureBytes)
        throw DecodeError(u"The catalogue "_s + fileName + u" is too large."_s);
    return fromJson(JsonReader(parseJson(file.readAll()), {}).object());
}

QJsonObject Catalogue::toJson() const
{
    QJsonArray albumArray;
    for (const QJsonObject &album : albums)
        albumArray.append(album);
    QJsonArray playlistArray;
    for (const Playlist &entry : playlists) {
        QJsonObject object = entry.playlist;
        object.insert(u"items"_s, entry.items);
        object.insert(u"readable"_s, entry.readable);
        object.insert(u"itemsResource"_s, entry.itemsResource);
        playlistArray.append(object);
    }
    return {{u"albums"_s, albumArray}, {u"playlists"_s, playlistArray}};
}

Catalogue Catalogue::generate(const GeneratorOptions &options)
{
    Generator generator(options.seed);
    Catalogue catalogue;
    catalogue.albums.reserve(std::max(options.albums, 0));
    for (int i = 0; i < options.albums; ++i)
        catalogue.albums.append(generator.album(i));
    for (int i = 0; i < options.playlists; ++i)
        catalogue.playlists.append(generator.playlist(i));
    catalogue.reindex();
    return catalogue;
}

const QJsonObject *Catalogue::album(const QString &id) const
{
    const auto it = m_albumIndex.constFind(id);
    return it == m_albumIndex.constEnd() ? nullptr : &albums[*it];
}

const Catalogue::Playlist *Catalogue::playlist(const QString &id) const
{
    const auto it = m_playlistIndex.constFind(id);
    return it == m_playlistIndex.constEnd() ? nullptr : &playlists[*it];
}

void Catalogue::reindex()
{
    m_albumIndex.clear();
    m_playlistIndex.clear();
    for (qsizetype i = 0; i < albums.size(); ++i)
        m_albumIndex.insert(albums[i].value("id"_L1).toString(), i);
    for (qsizetype i = 0; i < playlists.size(); ++i)
        m_playlistIndex.insert(playlists[i].playlist.value("id"_L1).toString(), i);
}

} // namespace velloran::standin
