#include "nowplaying/NowPlaying.h"

#include "model/AtomicFile.h"
#include "model/RegularFile.h"
#include "nowplaying/MprisAdaptors.h"
#include "playback/PlaybackLogging.h"

#include <QBuffer>
#include <QCoroNetworkReply>
#include <QCryptographicHash>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStringList>

#include <chrono>
#include <memory>

using namespace Qt::StringLiterals;

namespace velloran {
namespace {

const QString rootInterface = u"org.mpris.MediaPlayer2"_s;
const QString playerInterface = u"org.mpris.MediaPlayer2.Player"_s;
constexpr qint64 largestCover = 20 * 1024 * 1024;
// A position that differs this much from where it was expected to run is a jump.
constexpr qint64 jumpThresholdMs = 1000;

QString pathElement(const QString &text)
{
    static const QRegularExpression invalid(u"[^A-Za-z0-9_]"_s);
    QString element = QString(text).replace(invalid, u"_"_s);
    return element.isEmpty() ? u"_"_s : element;
}

// The artwork cache's name for a URL's bytes: never a part of the URL itself.
QString coverFileName(const QUrl &url)
{
    const QByteArray digest =
        QCryptographicHash::hash(url.toString(QUrl::FullyEncoded).toUtf8(), QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.toHex().left(32));
}

bool isImage(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    (void)buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.canRead() && reader.size().isValid();
}

QCoro::Task<std::optional<QByteArray>> plainGet(QNetworkAccessManager *network, QUrl url)
{
    if (!network)
        co_return std::nullopt;
    QNetworkRequest request(url);
    request.setTransferTimeout(60000);
    std::unique_ptr<QNetworkReply> reply(co_await network->get(request));
    if (reply->error() != QNetworkReply::NoError)
        co_return std::nullopt;
    QByteArray bytes = reply->read(largestCover + 1);
    if (bytes.size() > largestCover)
        co_return std::nullopt;
    co_return bytes;
}

} // namespace

NowPlaying::NowPlaying(PlaybackController &controller, Clock &clock, QDBusConnection connection, Options options,
                       QObject *parent)
    : QObject(parent), m_controller(controller), m_clock(clock), m_connection(std::move(connection)),
      m_options(std::move(options))
{
    if (!m_options.download) {
        m_options.download = [network = m_options.network](QUrl url) { return plainGet(network, std::move(url)); };
    }
    new MprisRootAdaptor(this);
    m_playerAdaptor = new MprisPlayerAdaptor(this);

    connect(&m_controller, &PlaybackController::recordChanged, this, &NowPlaying::scheduleUpdate);
    connect(&m_controller, &PlaybackController::sideIndexChanged, this, &NowPlaying::scheduleUpdate);
    connect(&m_controller, &PlaybackController::trackIndexChanged, this, &NowPlaying::scheduleUpdate);
    connect(&m_controller, &PlaybackController::statusChanged, this, &NowPlaying::scheduleUpdate);
    connect(&m_controller, &PlaybackController::positionAnchored, this, &NowPlaying::scheduleUpdate);
    // Every start publishes its side; its confirmation may come within the same update.
    connect(&m_controller, &PlaybackController::sideIndexPublished, this, [this] {
        m_startWaiting = true;
        scheduleUpdate();
    });

    m_registered = m_connection.isConnected()
        && m_connection.registerObject(QString::fromLatin1(objectPath), this, QDBusConnection::ExportAdaptors)
        && m_connection.registerService(m_options.serviceName);
    if (!m_registered)
        qCDebug(lcPlayback) << "MPRIS player not on the session bus";
    m_metadata = {{u"mpris:trackid"_s, QVariant::fromValue(QDBusObjectPath(QString::fromLatin1(noTrackPath)))}};
}

NowPlaying::~NowPlaying()
{
    if (m_registered) {
        m_connection.unregisterService(m_options.serviceName);
        m_connection.unregisterObject(QString::fromLatin1(objectPath));
    }
}

void NowPlaying::scheduleUpdate()
{
    // Several fields change in one step; one update after it publishes them together.
    if (m_updateScheduled)
        return;
    m_updateScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_updateScheduled = false;
            update();
        },
        Qt::QueuedConnection);
}

QDBusObjectPath NowPlaying::currentTrackId() const
{
    const auto &record = m_controller.record();
    if (!record || !m_controller.currentTrack())
        return QDBusObjectPath(QString::fromLatin1(noTrackPath));
    return QDBusObjectPath(u"/app/velloran/record/"_s + pathElement(record->id) + u"/side"_s
                           + QString::number(m_controller.sideIndex()) + u"/track"_s
                           + QString::number(m_controller.trackIndex()));
}

QVariantMap NowPlaying::computeMetadata()
{
    const auto &record = m_controller.record();
    const Side *side = m_controller.currentSide();
    const Track *track = m_controller.currentTrack();
    if (!record || !side || !track)
        return {{u"mpris:trackid"_s, QVariant::fromValue(currentTrackId())}};

    QVariantMap metadata{
        {u"mpris:trackid"_s, QVariant::fromValue(currentTrackId())},
        {u"xesam:title"_s, track->title},
        {u"xesam:artist"_s, QStringList{track->artist}},
        {u"xesam:album"_s, QString(record->title + u" \u00B7 Side "_s + side->letter())},
        {u"xesam:albumArtist"_s, QStringList{record->artist}},
        {u"mpris:length"_s, qlonglong(track->durationMs) * 1000},
        {u"xesam:url"_s, track->uri},
    };
    if (record->artworkURL) {
        if (m_artwork && m_artwork->first == *record->artworkURL)
            metadata.insert(u"mpris:artUrl"_s, m_artwork->second.toString());
        else
            loadArtwork(*record->artworkURL);
    }
    return metadata;
}

void NowPlaying::update()
{
    const QDBusObjectPath publishedTrack = m_metadata.value(u"mpris:trackid"_s).value<QDBusObjectPath>();
    const QVariantMap metadata = computeMetadata();
    const QString status = playbackStatus();
    const double currentRate = rate();

    QVariantMap changed;
    if (metadata != m_metadata) {
        m_metadata = metadata;
        changed.insert(u"Metadata"_s, m_metadata);
    }
    if (status != m_status) {
        m_status = status;
        changed.insert(u"PlaybackStatus"_s, m_status);
    }
    if (currentRate != m_rate) {
        m_rate = currentRate;
        changed.insert(u"Rate"_s, m_rate);
    }

    noteAnchor(publishedTrack == currentTrackId());
    if (!changed.isEmpty()) {
        emitPropertiesChanged(playerInterface, changed);
        Q_EMIT published();
    }
}

void NowPlaying::noteAnchor(bool sameTrack)
{
    // Seeked tells the desktop where the position stands when its clock cannot know: a
    // start confirmed at the engine's position, or a jump. A position running on as
    // expected, or a new track starting, is read from Position without a signal. While a
    // start waits, the rate is 0 and nothing is signalled.
    using Status = PlaybackController::Status;
    const Instant now = m_clock.now();
    const qint64 position = m_controller.trackPosition(now);
    const Status status = m_controller.status();
    bool seeked = false;
    if (m_controller.currentTrack() && status != Status::starting) {
        if (m_startWaiting) {
            m_startWaiting = false;
            seeked = status == Status::playing;
        } else {
            qint64 expected = m_lastPositionMs;
            if (m_lastPlaying)
                expected += std::chrono::duration_cast<std::chrono::milliseconds>(now - m_lastPositionAt).count();
            seeked = sameTrack && std::abs(position - expected) > jumpThresholdMs;
        }
    }
    if (seeked)
        Q_EMIT m_playerAdaptor->Seeked(qlonglong(position) * 1000);
    m_lastPositionMs = position;
    m_lastPositionAt = now;
    m_lastPlaying = status == Status::playing;
}

void NowPlaying::emitPropertiesChanged(const QString &interface, const QVariantMap &changed)
{
    if (!m_registered)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(objectPath),
                                                     u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s);
    signal << interface << changed << QStringList();
    m_connection.send(signal);
}

QString NowPlaying::playbackStatus() const
{
    using Status = PlaybackController::Status;
    if (!m_controller.record() || !m_controller.currentTrack())
        return u"Stopped"_s;
    switch (m_controller.status()) {
    case Status::starting:
    case Status::playing:
        return u"Playing"_s;
    case Status::paused:
        return u"Paused"_s;
    case Status::idle:
    case Status::sideEnded:
        break;
    }
    return u"Stopped"_s;
}

qint64 NowPlaying::positionMicroseconds() const
{
    return m_controller.trackPosition(m_clock.now()) * 1000;
}

double NowPlaying::rate() const
{
    return m_controller.currentTrack() && m_controller.status() == PlaybackController::Status::playing ? 1.0 : 0.0;
}

void NowPlaying::perform(RemoteAction action)
{
    // Handed over on a later turn, like every other remote command the controller hears.
    // Each call is one deliberate command, so none is dropped as a repeat: two quick
    // PlayPause calls pause and resume.
    QPointer<PlaybackController> controller(&m_controller);
    QMetaObject::invokeMethod(
        this,
        [controller, action] {
            if (controller)
                controller->command(action);
        },
        Qt::QueuedConnection);
}

void NowPlaying::play() { perform(RemoteAction::play()); }
void NowPlaying::pause() { perform(RemoteAction::pause()); }
void NowPlaying::playPause() { perform(RemoteAction::toggle()); }

void NowPlaying::setRate(double rate)
{
    if (rate == 0.0)
        perform(RemoteAction::pause());
}
// A side cannot be stopped half-way like a file; stopping leaves the needle where it is.
void NowPlaying::stop() { perform(RemoteAction::pause()); }
void NowPlaying::next() { perform(RemoteAction::next()); }
void NowPlaying::previous() { perform(RemoteAction::previous()); }

void NowPlaying::seekBy(qint64 offsetMicroseconds)
{
    const Track *track = m_controller.currentTrack();
    if (!track)
        return;
    const qint64 target = m_controller.trackPosition(m_clock.now()) + offsetMicroseconds / 1000;
    if (target >= track->durationMs) {
        perform(RemoteAction::next());
        return;
    }
    perform(RemoteAction::seek(std::max<qint64>(target, 0)));
}

void NowPlaying::setPosition(const QDBusObjectPath &trackId, qint64 positionMicroseconds)
{
    const Track *track = m_controller.currentTrack();
    if (!track || trackId != currentTrackId())
        return;
    if (positionMicroseconds < 0 || positionMicroseconds > track->durationMs * 1000)
        return;
    perform(RemoteAction::seek(positionMicroseconds / 1000));
}

void NowPlaying::raise()
{
    if (m_options.raise)
        m_options.raise();
}

void NowPlaying::quit()
{
    if (m_options.quit)
        m_options.quit();
}

void NowPlaying::loadArtwork(QUrl url)
{
    if (m_artworkLoading == url)
        return;
    m_artworkLoading = url;
    fetchArtwork(std::move(url));
}

QCoro::Task<> NowPlaying::fetchArtwork(QUrl url)
{
    QPointer<NowPlaying> self(this);
    const Download download = m_options.download;
    const QString directory = m_options.artworkDirectory;
    const QString path = QDir(directory).filePath(coverFileName(url));

    // The artwork store may have the bytes already; otherwise they are fetched and kept
    // under the same name, so both caches agree.
    std::optional<QByteArray> bytes;
    if (!directory.isEmpty())
        bytes = readRegularFile(path, largestCover);
    bool fresh = false;
    if (!bytes || !isImage(*bytes)) {
        bytes = co_await download(url);
        fresh = true;
    }
    if (!self)
        co_return;
    const auto finish = [&] {
        if (m_artworkLoading == url)
            m_artworkLoading.reset();
    };
    if (!bytes || !isImage(*bytes) || directory.isEmpty()) {
        finish();
        co_return;
    }
    if (fresh) {
        QDir().mkpath(directory);
        if (!writeFileAtomically(path, *bytes)) {
            finish();
            co_return;
        }
    }
    m_artwork = std::pair{url, QUrl::fromLocalFile(path)};
    finish();
    // Queued: a download that needed no wait finishes inside an update.
    scheduleUpdate();
}

} // namespace velloran
