#pragma once

#include "artwork/CodableColour.h"
#include "core/Clock.h"

#include <QCache>
#include <QCoroTask>
#include <QFuture>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;

namespace velloran {

// Turns artwork URLs into images and colours for every scene: decoded images in a bounded
// memory cache keyed by size and URL, downloaded bytes in a disk cache so that a cover
// crosses the network once, one shared load for views that ask for the same cover at the
// same size, and one remembered colour per cover. Used from the main thread; reading,
// downloading, decoding and averaging happen on other threads.
class ArtworkStore : public QObject {
    Q_OBJECT

public:
    // The sizes the scenes ask for, in the order a missing size falls back to.
    static constexpr int fallbackSizes[] = {700, 600, 360, 340, 160};
    static constexpr int memoryCacheLimit = 600;

    ArtworkStore(QNetworkAccessManager *network, Clock &clock, QObject *parent = nullptr);
    ~ArtworkStore() override;

    // The store of the program, made on first use. A test may put its own in place (and
    // remove it again with nullptr).
    static ArtworkStore &shared();
    static void setShared(ArtworkStore *store);

    // The image from memory only: the exact size, else the first cached one of the fallback
    // sizes, so that a view has something to show at once.
    std::optional<QImage> cachedImage(const std::optional<QUrl> &url, int pixels) const;

    // The image at that size, loaded if needed; nothing when none could be had.
    QCoro::Task<std::optional<QImage>> image(std::optional<QUrl> url, int pixels);

    // The remembered colour of the cover, without loading anything.
    std::optional<CodableColour> knownColour(const std::optional<QUrl> &url) const;

    // The remembered colour, or one computed from the cover now and remembered.
    QCoro::Task<std::optional<CodableColour>> colour(std::optional<QUrl> url);

    static QString imageKey(int pixels, const QUrl &url);
    static QString colourKey(const QUrl &url) { return url.toString(QUrl::FullyEncoded); }
    // The disk-cache file of a URL: the start of its SHA-256, never a part of the URL.
    static QString cacheFileName(const QUrl &url);
    static QString artworkDirectory();

    int memoryCacheCount() const { return m_images.count(); }

private:
    QCoro::Task<std::optional<QImage>> load(QUrl url, int pixels);
    QCoro::Task<std::optional<QByteArray>> bytes(QUrl url);
    QCoro::Task<std::optional<QByteArray>> download(QUrl url);
    QCoro::Task<> saveColoursLater(QHash<QString, CodableColour> colours, quint64 generation);
    void readColours();

    QPointer<QNetworkAccessManager> m_network;
    Clock &m_clock;
    QCache<QString, QImage> m_images;
    QHash<QString, QFuture<std::optional<QImage>>> m_loading;
    QHash<QString, CodableColour> m_colours;
    // Downloaded bytes until their disk-cache file is written, so that a second size asked
    // for meanwhile does not download them again.
    QHash<QString, QByteArray> m_unwritten;
    quint64 m_colourSaveGeneration = 0;
};

} // namespace velloran
