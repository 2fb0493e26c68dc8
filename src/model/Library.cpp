#include "model/Library.h"

#include "core/UserFacingError.h"
#include "model/AtomicFile.h"
#include "model/RegularFile.h"
#include "model/OperationCancelled.h"
#include "model/SupportDirectory.h"
#include "spotify/SpotifyAPI.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QStringList>
#include <QDateTime>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

constexpr auto saveDelay = std::chrono::milliseconds{500};

int digits(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

Library::Library(SpotifyAPI &api, Clock &clock, QObject *parent)
    : QObject(parent), m_api(api), m_clock(clock)
{
    removeLeftoverTemporaryFiles(supportDirectory(), fileName());
    readSnapshot();
}

Library::~Library()
{
    if (m_savePending)
        writeSnapshot();
}

std::optional<Instant> Library::parseAddedAt(const QString &text)
{
    // yyyy-MM-ddTHH:mm:ss followed by Z or an offset of ±hh:mm.
    const QStringView s(text);
    if (s.size() != 20 && s.size() != 25)
        return std::nullopt;
    if (s[4] != u'-' || s[7] != u'-' || (s[10] != u'T' && s[10] != u't') || s[13] != u':' || s[16] != u':')
        return std::nullopt;
    const int year = digits(s, 0, 4), month = digits(s, 5, 2), day = digits(s, 8, 2);
    const int hour = digits(s, 11, 2), minute = digits(s, 14, 2), second = digits(s, 17, 2);
    int offsetSeconds = 0;
    if (s.size() == 20) {
        if (s[19] != u'Z' && s[19] != u'z')
            return std::nullopt;
    } else {
        const int offsetHours = digits(s, 20, 2), offsetMinutes = digits(s, 23, 2);
        if ((s[19] != u'+' && s[19] != u'-') || s[22] != u':' || offsetHours < 0 || offsetMinutes < 0
            || offsetHours > 23 || offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (offsetHours * 3600 + offsetMinutes * 60) * (s[19] == u'-' ? -1 : 1);
    }
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 || hour > 23 || minute > 59
        || second > 59)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    const QDateTime utc(date, QTime(hour, minute, second), Qt::UTC);
    return Instant{std::chrono::milliseconds{utc.toMSecsSinceEpoch() - qint64(offsetSeconds) * 1000}};
}

void Library::readSnapshot()
{
    const std::optional<QByteArray> bytes = readRegularFile(supportPath(fileName()), snapshotSizeLimit);
    if (!bytes)
        return;
    LibrarySnapshot snapshot;
    try {
        snapshot = LibrarySnapshot::fromJson(parseJson(*bytes));
    } catch (const DecodeError &) {
        // An unreadable snapshot means an empty start; the next refresh replaces it.
        return;
    }
    apply(std::move(snapshot.saved), std::move(snapshot.playlists));
    m_records.reserve(snapshot.records.size());
    for (Record &record : snapshot.records) {
        const Item item = Item::of(record);
        m_records.insert(item, std::move(record));
    }
}

void Library::apply(QList<SpotifySavedAlbum> saved, QList<SpotifyPlaylist> playlists)
{
    m_saved = std::move(saved);

    QList<SpotifyAlbum> albums;
    albums.reserve(m_saved.size());
    Dates addedAt;
    for (const SpotifySavedAlbum &entry : std::as_const(m_saved)) {
        albums.append(entry.album);
        if (entry.addedAt)
            if (const std::optional<Instant> date = parseAddedAt(*entry.addedAt))
                addedAt.insert(entry.album.id, *date);
    }

    // Every field is in place before the first notification, so that a scene reacting to
    // one of them reads entries that agree with all three.
    const bool albumsChange = albums != m_albums;
    const bool playlistsChange = playlists != m_playlists;
    const bool datesChange = addedAt != m_addedAt;
    m_albums = std::move(albums);
    m_playlists = std::move(playlists);
    m_addedAt = std::move(addedAt);
    if (!albumsChange && !playlistsChange && !datesChange)
        return;
    m_entries = makeEntries(m_albums, m_playlists, m_addedAt);
    if (albumsChange)
        Q_EMIT albumsChanged();
    if (playlistsChange)
        Q_EMIT playlistsChanged();
    if (datesChange)
        Q_EMIT addedAtChanged();
}

void Library::setLoading(bool loading)
{
    if (m_isLoading == loading)
        return;
    m_isLoading = loading;
    Q_EMIT isLoadingChanged();
}

void Library::setError(std::optional<QString> error)
{
    if (m_error == error)
        return;
    m_error = std::move(error);
    Q_EMIT errorChanged();
}

QCoro::Task<> Library::load()
{
    QPointer<Library> self(this);
    setLoading(true);
    setError(std::nullopt);

    // Both fetches run at once; the first failure in this order is the one reported.
    auto savedFetch = m_api.savedAlbums();
    auto playlistsFetch = m_api.playlists();
    QList<SpotifySavedAlbum> saved;
    QList<SpotifyPlaylist> playlists;
    std::optional<QString> failure;
    try {
        saved = co_await savedFetch;
        playlists = co_await playlistsFetch;
    } catch (...) {
        failure = userFacingText(std::current_exception(), u"The library could not be loaded."_s);
    }
    if (!self)
        co_return;
    if (failure) {
        setError(failure);
        setLoading(false);
        co_return;
    }

    QHash<QString, std::optional<QString>> previousSnapshots;
    previousSnapshots.reserve(m_playlists.size());
    for (const SpotifyPlaylist &playlist : std::as_const(m_playlists))
        previousSnapshots.insert(playlist.id, playlist.snapshotId);
    for (const SpotifyPlaylist &playlist : std::as_const(playlists)) {
        const auto previous = previousSnapshots.constFind(playlist.id);
        if (previous != previousSnapshots.constEnd() && *previous != playlist.snapshotId)
            m_records.remove(Item::playlist(playlist.id));
    }

    apply(std::move(saved), std::move(playlists));
    scheduleSave();
    setLoading(false);
}

QCoro::Task<Record> Library::record(Item item)
{
    if (const auto cached = m_records.constFind(item); cached != m_records.constEnd())
        co_return *cached;

    QPointer<Library> self(this);
    // The client shares its state between copies; this one stays valid if the library goes.
    const SpotifyAPI api = m_api;
    Record built;
    if (item.kind == Item::Kind::album) {
        std::optional<SpotifyAlbum> album;
        for (const SpotifyAlbum &saved : std::as_const(m_albums))
            if (saved.id == item.id) {
                album = saved;
                break;
            }
        if (!album)
            album = co_await api.album(item.id);
        const QList<SpotifyTrack> tracks = co_await api.albumTracks(*album);
        built = Record::fromAlbum(*album, tracks);
    } else {
        std::optional<SpotifyPlaylist> playlist;
        for (const SpotifyPlaylist &listed : std::as_const(m_playlists))
            if (listed.id == item.id) {
                playlist = listed;
                break;
            }
        if (!playlist)
            throw OperationCancelled();
        const QList<SpotifyTrack> tracks = co_await api.playlistTracks(item.id);
        built = Record::fromPlaylist(*playlist, tracks);
    }

    if (self) {
        m_records.insert(item, built);
        scheduleSave();
    }
    co_return built;
}

std::optional<Record> Library::cachedRecord(const Item &item) const
{
    const auto cached = m_records.constFind(item);
    return cached == m_records.constEnd() ? std::nullopt : std::optional(*cached);
}

QList<ShelfEntry> Library::makeEntries(const QList<SpotifyAlbum> &albums, const QList<SpotifyPlaylist> &playlists,
                                       const Dates &addedAt)
{
    QList<ShelfEntry> entries;
    entries.reserve(albums.size() + playlists.size());
    qint64 order = 0;
    for (const SpotifyAlbum &album : albums) {
        QString artists;
        for (const SpotifyArtist &artist : album.artists) {
            if (!artists.isEmpty())
                artists += u", "_s;
            artists += artist.name;
        }
        std::optional<QString> year;
        if (album.releaseDate)
            year = album.releaseDate->left(4);
        const auto added = addedAt.constFind(album.id);
        entries.append({Item::album(album.id), album.name, std::move(artists), artworkChoice(album.images), std::move(year),
                        added == addedAt.constEnd() ? std::nullopt : std::optional(*added), order++});
    }
    for (const SpotifyPlaylist &playlist : playlists) {
        QString owner;
        if (playlist.owner)
            owner = playlist.owner->displayName.value_or(playlist.owner->id);
        entries.append({Item::playlist(playlist.id), playlist.name, std::move(owner), artworkChoice(playlist.images),
                        std::nullopt, std::nullopt, order++});
    }
    return entries;
}

void Library::scheduleSave()
{
    m_savePending = true;
    saveLater(++m_saveGeneration);
}

QCoro::Task<> Library::saveLater(quint64 generation)
{
    QPointer<Library> self(this);
    try {
        co_await m_clock.sleep(saveDelay);
    } catch (const ClockStopped &) {
        co_return;
    }
    // A newer request supersedes this one; it writes the newer data.
    if (!self || generation != m_saveGeneration)
        co_return;
    writeSnapshot();
}

void Library::writeSnapshot()
{
    m_savePending = false;
    // Shallow copies: the encoding works on them on the writer thread while the live
    // fields go on changing here.
    writeFileInBackground(supportPath(fileName()), [saved = m_saved, playlists = m_playlists, records = m_records] {
        const LibrarySnapshot snapshot{saved, playlists, records.values()};
        return std::optional(QJsonDocument(snapshot.toJson()).toJson(QJsonDocument::Compact));
    });
}

} // namespace velloran
