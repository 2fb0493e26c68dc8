#include "model/PlayHistory.h"

#include "model/AtomicFile.h"
#include "model/RegularFile.h"
#include "model/SupportDirectory.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

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
    // Far beyond any real date the conversion to the clock's ticks would overflow.
    if (std::abs(playedAt) > 1e11)
        JsonReader::fail(r.childPath("playedAt"_L1), u"the date is out of range"_s);
    return {LibraryItem::fromJson(r.value("item"_L1), r.childPath("item"_L1)), fromReferenceSeconds(playedAt)};
}

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
