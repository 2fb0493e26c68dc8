#include "model/PlayHistory.h"

#include "model/AtomicFile.h"
#include "model/RegularFile.h"
#include "model/SupportDirectory.h"

#include <QJsonArray>
#include <QJsonDocument>


using namespace Qt::StringLiterals;

namespace velloran {

PlayHistory::PlayHistory(Clock &clock, QObject *parent)
    : QObject(parent), m_clock(clock)
{
    removeLeftoverTemporaryFiles(supportDirectory(), fileName());
    read();
}

void PlayHistory::read()
{
    const std::optional<QByteArray> bytes = readRegularFile(supportPath(fileName()), fileSizeLimit);
    if (!bytes)
        return;
    try {
        const QJsonValue document = parseJson(*bytes);
        if (!document.isArray())
            return;
        m_entries = JsonReader::readList<Entry>(document.toArray(), QString(), &Entry::fromJson);
    } catch (const DecodeError &) {
        // An unreadable history starts empty and is replaced at the next play.
    }
}

void PlayHistory::record(const Record &record)
{
    const Entry entry{LibraryItem::of(record), m_clock.now()};

    QList<Entry> entries;
    entries.reserve(capacity);
    entries.append(entry);
    for (const Entry &old : std::as_const(m_entries)) {
        if (entries.size() == capacity)
            break;
        if (old.item != entry.item)
            entries.append(old);
    }
    m_entries = std::move(entries);
    Q_EMIT entriesChanged();

    QJsonArray array;
    for (const Entry &e : std::as_const(m_entries))
        array.append(e.toJson());
    writeFileInBackground(supportPath(fileName()), QJsonDocument(array).toJson(QJsonDocument::Compact));
}

} // namespace velloran
