#pragma once

#include "core/UserFacingError.h"
#include "model/LibraryAccess.h"

#include <QHash>
#include <QSet>
#include <QUrl>

namespace velloran::test {

// A library whose entries and records the test sets; a record not given fails to load.
class ScriptedLibrary final : public LibraryAccess {
public:
    QList<ShelfEntry> entries() const override { return m_entries; }
    bool isLoading() const override { return m_loading; }
    std::optional<QString> error() const override { return m_error; }
    QCoro::Task<> load() override
    {
        ++loads;
        co_return;
    }
    QCoro::Task<Record> record(LibraryItem item) override
    {
        ++fetches;
        const auto it = m_records.constFind(item);
        if (it == m_records.constEnd())
            throw UserFacingError(QStringLiteral("The record could not be loaded."));
        co_return *it;
    }
    std::optional<Record> cachedRecord(const LibraryItem &item) const override
    {
        if (!m_cached.contains(item))
            return std::nullopt;
        const auto it = m_records.constFind(item);
        return it == m_records.constEnd() ? std::nullopt : std::optional(*it);
    }
    // The record of an item is at hand without loading.
    void cache(const LibraryItem &item) { m_cached.insert(item); }

    void setEntries(QList<ShelfEntry> entries)
    {
        m_entries = std::move(entries);
        Q_EMIT entriesChanged();
    }
    void add(const Record &record, std::optional<QUrl> artwork = std::nullopt)
    {
        ShelfEntry entry = ShelfEntry::fromRecord(record);
        entry.artworkURL = artwork ? artwork : record.artworkURL;
        entry.order = m_entries.size();
        m_entries.append(entry);
        m_records.insert(entry.item, record);
        Q_EMIT entriesChanged();
    }
    void setLoading(bool loading)
    {
        m_loading = loading;
        Q_EMIT isLoadingChanged();
    }
    void setError(std::optional<QString> error)
    {
        m_error = std::move(error);
        Q_EMIT errorChanged();
    }

    int loads = 0;
    int fetches = 0;

private:
    QList<ShelfEntry> m_entries;
    QHash<LibraryItem, Record> m_records;
    QSet<LibraryItem> m_cached;
    bool m_loading = false;
    std::optional<QString> m_error;
};

// A record of two sides of three tracks each (29 minutes a side), or of one side when it has
// a single track.
inline Record sampleRecord(const QString &id, const QString &title, int sides = 2,
                           Record::Kind kind = Record::Kind::album, std::optional<QUrl> artwork = std::nullopt)
{
    static const QStringList names{QStringLiteral("Lantern Street"), QStringLiteral("The Long Field"),
                                   QStringLiteral("Copper Rain"), QStringLiteral("Slow Harbour"),
                                   QStringLiteral("Nightjar"), QStringLiteral("Under the Elms")};
    QList<Track> tracks;
    for (int i = 0; i < (sides == 1 ? 1 : 3 * sides); ++i)
        tracks.append({QStringLiteral("spotify:track:%1-%2").arg(id).arg(i), names[i % names.size()],
                       QStringLiteral("The Quiet Hours"), 580'000});
    return Record::make(id, QStringLiteral("spotify:album:") + id, kind, title, QStringLiteral("The Quiet Hours"),
                        std::move(artwork), QStringLiteral("1978"), tracks);
}

} // namespace velloran::test
