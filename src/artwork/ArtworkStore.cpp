#include "artwork/ArtworkStore.h"

#include "artwork/ArtworkDecoding.h"
#include "core/Json.h"
#include "model/AtomicFile.h"
#include "model/RegularFile.h"
#include "model/SupportDirectory.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QCoroNetworkReply>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPromise>
#include <QRegularExpression>
#include <qtconcurrenttask.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

// No cover comes near this; a larger answer is not read into memory.
constexpr qint64 largestDownload = 32 * 1024 * 1024;
constexpr int transferTimeoutMs = 60'000;

// Thread priorities: decoding is waited for by a view on screen, averaging is not.
constexpr int decodePriority = 1;
constexpr int averagePriority = 0;

QString coloursPath()
{
    return ArtworkStore::artworkDirectory() + u"/colours.json"_s;
}

// The file of colours for some ten thousand covers takes about 1 MB.
constexpr qint64 largestColoursFile = 16 * 1024 * 1024;

std::optional<QByteArray> readCacheFile(const QString &path)
{
    std::optional<QByteArray> bytes = readRegularFile(path, largestDownload);
    if (!bytes || bytes->isEmpty())
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> encodeColours(const QHash<QString, CodableColour> &colours)
{
    QJsonObject object;
    for (auto it = colours.constBegin(); it != colours.constEnd(); ++it)
        object.insert(it.key(), it.value().toJson());
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QPointer<ArtworkStore> &injectedStore()
{
    static QPointer<ArtworkStore> store;
    return store;
}

} // namespace

ArtworkStore::ArtworkStore(QNetworkAccessManager *network, Clock &clock, QObject *parent)
    : QObject(parent), m_network(network), m_clock(clock), m_images(memoryCacheLimit)
{
    const QString directory = artworkDirectory();
    removeLeftoverTemporaryFiles(directory, QRegularExpression(u"[0-9a-f]{32}|colours\\.json"_s));
    readColours();
}

ArtworkStore::~ArtworkStore() = default;

ArtworkStore &ArtworkStore::shared()
{
    if (ArtworkStore *injected = injectedStore())
        return *injected;
    static QPointer<ArtworkStore> store;
    if (!store) {
        auto *network = new QNetworkAccessManager;
        store = new ArtworkStore(network, SystemClock::shared(), QCoreApplication::instance());
        network->setParent(store);
    }
    return *store;
}

void ArtworkStore::setShared(ArtworkStore *store)
{
    injectedStore() = store;
}

QString ArtworkStore::imageKey(int pixels, const QUrl &url)
{
    return QString::number(pixels) + u'|' + url.toString(QUrl::FullyEncoded);
}

QString ArtworkStore::cacheFileName(const QUrl &url)
{
    const QByteArray digest = QCryptographicHash::hash(url.toString(QUrl::FullyEncoded).toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toHex().left(32));
}

QString ArtworkStore::artworkDirectory()
{
    const QString path = supportPath(u"Artwork"_s);
    QDir().mkpath(path);
    return path;
}

void ArtworkStore::readColours()
{
    const std::optional<QByteArray> bytes = readRegularFile(coloursPath(), largestColoursFile);
    if (!bytes)
        return;
    try {
        const QJsonValue document = parseJson(*bytes);
        const QJsonObject object = document.toObject();
        QHash<QString, CodableColour> colours;
        colours.reserve(object.size());
        for (auto it = object.constBegin(); it != object.constEnd(); ++it)
            colours.insert(it.key(), CodableColour::fromJson(it.value(), it.key()));
        m_colours = std::move(colours);
    } catch (const DecodeError &) {
        // A broken file means the colours are computed again.
    }
}

std::optional<QImage> ArtworkStore::cachedImage(const std::optional<QUrl> &url, int pixels) const
{
    if (!url)
        return std::nullopt;
    if (const QImage *exact = m_images.object(imageKey(pixels, *url)))
        return *exact;
    for (int size : fallbackSizes) {
        if (size == pixels)
            continue;
        if (const QImage *other = m_images.object(imageKey(size, *url)))
            return *other;
    }
    return std::nullopt;
}

QCoro::Task<std::optional<QImage>> ArtworkStore::image(std::optional<QUrl> url, int pixels)
{
    if (!url)
        co_return std::nullopt;
    const QString key = imageKey(pixels, *url);
    if (const QImage *exact = m_images.object(key))
        co_return *exact;

    if (m_loading.contains(key)) {
        QFuture<std::optional<QImage>> running = m_loading.value(key);
        co_await qCoro(running).waitForFinished();
        co_return running.resultCount() > 0 ? running.result() : std::nullopt;
    }

    QPromise<std::optional<QImage>> promise;
    promise.start();
    m_loading.insert(key, promise.future());

    QPointer<ArtworkStore> self(this);
    const std::optional<QImage> result = co_await load(*url, pixels);
    if (self) {
        m_loading.remove(key);
        if (result)
            m_images.insert(key, new QImage(*result));
    }
    promise.addResult(result);
    promise.finish();
    co_return result;
}

QCoro::Task<std::optional<QImage>> ArtworkStore::load(QUrl url, int pixels)
{
    const std::optional<QByteArray> data = co_await bytes(url);
    if (!data)
        co_return std::nullopt;
    co_return co_await QtConcurrent::task([](QByteArray bytes, int size) { return decodeThumbnail(bytes, size); })
        .withArguments(*data, pixels)
        .withPriority(decodePriority)
        .spawn();
}

QCoro::Task<std::optional<QByteArray>> ArtworkStore::bytes(QUrl url)
{
    const QString path = artworkDirectory() + u'/' + cacheFileName(url);
    if (const auto unwritten = m_unwritten.constFind(path); unwritten != m_unwritten.constEnd())
        co_return *unwritten;
    QPointer<ArtworkStore> self(this);
    const std::optional<QByteArray> cached =
        co_await QtConcurrent::task([](QString file) { return readCacheFile(file); }).withArguments(path).spawn();
    if (cached || !self)
        co_return cached;

    std::optional<QByteArray> downloaded = co_await download(url);
    if (downloaded && self) {
        m_unwritten.insert(path, *downloaded);
        writeFileInBackground(path, *downloaded).then(this, [this, path](bool) { m_unwritten.remove(path); });
    }
    co_return downloaded;
}

QCoro::Task<std::optional<QByteArray>> ArtworkStore::download(QUrl url)
{
    if (!m_network || !url.isValid())
        co_return std::nullopt;
    QNetworkRequest request(url);
    request.setTransferTimeout(transferTimeoutMs);
    QNetworkReply *raw = m_network->get(request);
    // The manager deletes its replies when it goes; the guard keeps that from a double delete.
    const std::unique_ptr<QPointer<QNetworkReply>, void (*)(QPointer<QNetworkReply> *)> reply(
        new QPointer<QNetworkReply>(raw), [](QPointer<QNetworkReply> *guard) {
            if (*guard)
                (*guard)->deleteLater();
            delete guard;
        });
    connect(raw, &QNetworkReply::downloadProgress, raw, [raw](qint64 received, qint64 total) {
        if (received > largestDownload || total > largestDownload)
            raw->abort();
    });
    co_await qCoro(raw).waitForFinished();

    if (!*reply || raw->error() != QNetworkReply::NoError)
        co_return std::nullopt;
    const QVariant status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 300)
        co_return std::nullopt;
    QByteArray body = raw->readAll();
    if (body.isEmpty())
        co_return std::nullopt;
    co_return body;
}

std::optional<CodableColour> ArtworkStore::knownColour(const std::optional<QUrl> &url) const
{
    if (!url)
        return std::nullopt;
    const auto it = m_colours.constFind(colourKey(*url));
    return it == m_colours.constEnd() ? std::nullopt : std::optional(*it);
}

QCoro::Task<std::optional<CodableColour>> ArtworkStore::colour(std::optional<QUrl> url)
{
    if (!url)
        co_return std::nullopt;
    if (std::optional<CodableColour> known = knownColour(url))
        co_return known;

    QPointer<ArtworkStore> self(this);
    const std::optional<QByteArray> data = co_await bytes(*url);
    if (!data || !self)
        co_return std::nullopt;
    const std::optional<CodableColour> computed =
        co_await QtConcurrent::task([](QByteArray bytes) { return representativeColour(bytes); })
            .withArguments(*data)
            .withPriority(averagePriority)
            .spawn();
    if (!computed || !self)
        co_return computed;

    m_colours.insert(colourKey(*url), *computed);
    saveColoursLater(m_colours, ++m_colourSaveGeneration);
    co_return computed;
}

QCoro::Task<> ArtworkStore::saveColoursLater(QHash<QString, CodableColour> colours, quint64 generation)
{
    QPointer<ArtworkStore> self(this);
    try {
        co_await m_clock.sleep(std::chrono::seconds{1});
    } catch (const ClockStopped &) {
        co_return;
    }
    if (!self || generation != m_colourSaveGeneration)
        co_return;
    writeFileInBackground(coloursPath(), [colours = std::move(colours)] { return encodeColours(colours); });
}

} // namespace velloran
