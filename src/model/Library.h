#pragma once

#include "core/Clock.h"
#include "model/LibraryItem.h"
#include "model/LibrarySnapshot.h"
#include "model/ShelfEntry.h"
#include "spotify/CatalogueTypes.h"

#include <QCoroTask>
#include <QHash>
#include <QList>
#include <QObject>

#include <optional>

namespace velloran {

class SpotifyAPI;

// The user's record collection: the saved albums with the dates they were saved, the
// playlists, and the records built from them. A snapshot on disk fills the shelves at the
// next start before the network answers, and spares fetching a record twice.
class Library : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<velloran::SpotifyAlbum> albums READ albums NOTIFY albumsChanged)
    Q_PROPERTY(QList<velloran::SpotifyPlaylist> playlists READ playlists NOTIFY playlistsChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QString error READ errorText NOTIFY errorChanged)

public:
    using Item = LibraryItem;
    using Dates = QHash<QString, Instant>;

    // Reads the snapshot before returning; a missing or unreadable one gives an empty library.
    Library(SpotifyAPI &api, Clock &clock, QObject *parent = nullptr);
    // A save still waiting for its delay is written now rather than lost.
    ~Library() override;

    const QList<SpotifyAlbum> &albums() const { return m_albums; }
    const QList<SpotifyPlaylist> &playlists() const { return m_playlists; }
    // When each saved album was saved, by album id; undated albums are absent.
    const Dates &addedAt() const { return m_addedAt; }
    bool isLoading() const { return m_isLoading; }
    // The message of the last failed refresh.
    const std::optional<QString> &error() const { return m_error; }
    QString errorText() const { return m_error.value_or(QString()); }

    // Refreshes albums, playlists and dates from Spotify. Never fails: a failure leaves the
    // library as it was and sets error(). A playlist whose snapshot id changed loses its
    // cached record.
    QCoro::Task<> load();

    // The record of an item, from the cache or built now. An album no longer saved is
    // fetched by id; a playlist not in the list fails with OperationCancelled; fetch failures
    // pass through unchanged.
    QCoro::Task<Record> record(Item item);
    std::optional<Record> cachedRecord(const Item &item) const;

    // One entry per album, then one per playlist, numbered in that order. Built when the
    // lists change, so reading is cheap however often the scenes ask.
    const QList<ShelfEntry> &entries() const { return m_entries; }
    static QList<ShelfEntry> makeEntries(const QList<SpotifyAlbum> &albums, const QList<SpotifyPlaylist> &playlists,
                                         const Dates &addedAt);

    // Writes the snapshot once the save delay has passed; requests within the delay are
    // written together, with the data as it is at the last one. Only this thread's copy-on-
    // write handles are taken here; the encoding and the write happen on the writer thread.
    void scheduleSave();

    static QString fileName() { return QStringLiteral("library.json"); }
    // A larger snapshot is not read. A library of 5,000 albums (each with its first page of
    // tracks), 1,000 playlists and 2,000 built records writes about 16 MB; the bound leaves
    // room for eight times that.
    static constexpr qint64 snapshotSizeLimit = 128 * 1024 * 1024;

    // When each album was saved, as the service writes it ("2023-05-01T12:34:56Z"); nothing
    // for any other form.
    static std::optional<Instant> parseAddedAt(const QString &text);

Q_SIGNALS:
    void albumsChanged();
    void playlistsChanged();
    void addedAtChanged();
    void isLoadingChanged();
    void errorChanged();

private:
    void readSnapshot();
    void apply(QList<SpotifySavedAlbum> saved, QList<SpotifyPlaylist> playlists);
    void setLoading(bool loading);
    void setError(std::optional<QString> error);
    QCoro::Task<> saveLater(quint64 generation);
    void writeSnapshot();

    SpotifyAPI &m_api;
    Clock &m_clock;
    QList<SpotifyAlbum> m_albums;
    QList<SpotifyPlaylist> m_playlists;
    Dates m_addedAt;
    bool m_isLoading = false;
    std::optional<QString> m_error;
    QList<ShelfEntry> m_entries;
    QHash<Item, Record> m_records;
    QList<SpotifySavedAlbum> m_saved;
    quint64 m_saveGeneration = 0;
    bool m_savePending = false;
};

} // namespace velloran
