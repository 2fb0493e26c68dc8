#pragma once

#include "artwork/CodableColour.h"
#include "model/ShelfEntry.h"

#include <QCoroTask>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

namespace velloran {

class ArtworkStore;

namespace shelf {

// The cover colours the wall asks the artwork store for: a spine coming into view asks for
// its colour, and the colour pass asks for every missing one. Each cover is computed once
// however many ask: a request for one already under way waits for it, and a cover that
// gave no colour is not asked again while the wall lives.
class CoverColours : public QObject {
    Q_OBJECT

public:
    // Spines asking at once; the rest wait their turn, newest first.
    static constexpr int parallel = 4;
    static constexpr qsizetype queueLimit = 256;

    explicit CoverColours(ArtworkStore *store = nullptr, QObject *parent = nullptr);

    std::optional<CodableColour> known(const std::optional<QUrl> &url) const;
    // Asks for the colour in the background; `arrived` follows when it is known.
    void request(const QUrl &url);
    // Computes the colour of every given entry's cover that is missing, one after another,
    // while `wanted` says so. Returns how many were asked of the store.
    QCoro::Task<int> completeAll(QList<ShelfEntry> entries, std::function<bool()> wanted = {});

    bool isBusy() const { return !m_inFlight.isEmpty(); }

Q_SIGNALS:
    void arrived(const QUrl &url);

private:
    ArtworkStore &store() const;
    bool needsAsking(const QUrl &url) const;
    void pump();
    QCoro::Task<> compute(QUrl url);

    ArtworkStore *m_store;
    QSet<QString> m_inFlight;
    QSet<QString> m_failed;
    QList<QUrl> m_queue;
    QSet<QString> m_queued;
};

} // namespace shelf
} // namespace velloran
