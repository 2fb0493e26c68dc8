#include "scenes/shelf/CoverColours.h"

#include "artwork/ArtworkStore.h"

#include <QCoroSignal>
#include <QPointer>

namespace velloran::shelf {

CoverColours::CoverColours(ArtworkStore *store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
}

ArtworkStore &CoverColours::store() const
{
    return m_store ? *m_store : ArtworkStore::shared();
}

std::optional<CodableColour> CoverColours::known(const std::optional<QUrl> &url) const
{
    return store().knownColour(url);
}

bool CoverColours::needsAsking(const QUrl &url) const
{
    const QString key = ArtworkStore::colourKey(url);
    return !m_inFlight.contains(key) && !m_failed.contains(key) && !store().knownColour(url);
}

void CoverColours::request(const QUrl &url)
{
    if (!url.isValid())
        return;
    const QString key = ArtworkStore::colourKey(url);
    if (m_queued.contains(key) || !needsAsking(url))
        return;
    m_queue.append(url);
    m_queued.insert(key);
    if (m_queue.size() > queueLimit)
        m_queued.remove(ArtworkStore::colourKey(m_queue.takeFirst()));
    pump();
}

void CoverColours::pump()
{
    while (m_inFlight.size() < parallel && !m_queue.isEmpty()) {
        const QUrl url = m_queue.takeLast();
        m_queued.remove(ArtworkStore::colourKey(url));
        if (needsAsking(url))
            compute(url);
    }
}

QCoro::Task<> CoverColours::compute(QUrl url)
{
    QPointer<CoverColours> self(this);
    const QString key = ArtworkStore::colourKey(url);
    m_inFlight.insert(key);
    auto task = store().colour(url);
    const std::optional<CodableColour> colour = co_await std::move(task);
    if (!self)
        co_return;
    self->m_inFlight.remove(key);
    if (!colour)
        self->m_failed.insert(key);
    Q_EMIT self->arrived(url);
    self->pump();
}

QCoro::Task<int> CoverColours::completeAll(QList<ShelfEntry> entries, std::function<bool()> wanted)
{
    QPointer<CoverColours> self(this);
    int asked = 0;
    QSet<QString> seen;
    for (const ShelfEntry &entry : entries) {
        if (!self || (wanted && !wanted()))
            co_return asked;
        if (!entry.artworkURL)
            continue;
        const QUrl url = *entry.artworkURL;
        const QString key = ArtworkStore::colourKey(url);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        // One a spine asked for is already under way: wait for it rather than ask again.
        while (self && self->m_inFlight.contains(key)) {
            auto arrival = qCoro(self.data(), &CoverColours::arrived);
            co_await std::move(arrival);
        }
        if (!self || !self->needsAsking(url))
            continue;
        ++asked;
        auto task = self->compute(url);
        co_await std::move(task);
    }
    co_return asked;
}

} // namespace velloran::shelf
