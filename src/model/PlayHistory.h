#pragma once

#include "core/Clock.h"
#include "model/PlayHistoryEntry.h"

#include <QList>
#include <QObject>

namespace velloran {

// The records the user has played, most recent first: one entry per item, at most
// `capacity` of them, kept in "history.json" and written after every change.
class PlayHistory : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<velloran::PlayHistoryEntry> entries READ entries NOTIFY entriesChanged)

public:
    using Entry = PlayHistoryEntry;
    static constexpr qsizetype capacity = 50;

    // Reads the history file; a missing or unreadable one gives an empty history.
    explicit PlayHistory(Clock &clock, QObject *parent = nullptr);

    const QList<Entry> &entries() const { return m_entries; }

    // Notes that the record has just started playing: its item moves to the front with the
    // time of now, and the oldest entries beyond the capacity drop off.
    void record(const Record &record);

    static QString fileName() { return QStringLiteral("history.json"); }
    // A larger history file is not read: fifty entries take about 4 KB, the bound holds
    // some ten thousand.
    static constexpr qint64 fileSizeLimit = 1024 * 1024;

Q_SIGNALS:
    void entriesChanged();

private:
    void read();

    Clock &m_clock;
    QList<Entry> m_entries;
};

} // namespace velloran
