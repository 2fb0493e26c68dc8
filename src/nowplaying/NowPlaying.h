#pragma once

#include "playback/AudioEngine.h"
#include "playback/PlaybackController.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>

#include <functional>
#include <optional>

class QNetworkAccessManager;

namespace velloran {
class MprisPlayerAdaptor;
}

namespace velloran {

// The desktop's view of what plays: an MPRIS 2 player on the session bus that publishes the
// controller's side and track and turns media keys and the desktop's widgets into remote
// actions for the controller.
class NowPlaying : public QObject {
    Q_OBJECT

public:
    // The bytes at a cover URL; nullopt when the download fails.
    using Download = std::function<QCoro::Task<std::optional<QByteArray>>(QUrl url)>;

    struct Options {
        QString serviceName = QStringLiteral("org.mpris.MediaPlayer2.velloran");
        // Where covers are written for the desktop to read; "Artwork" in the support folder.
        QString artworkDirectory;
        // How covers are fetched; a plain GET through `network` when absent.
        Download download;
        QNetworkAccessManager *network = nullptr;
        std::function<void()> raise;
        std::function<void()> quit;
    };

    static constexpr auto objectPath = "/org/mpris/MediaPlayer2";
    static constexpr auto noTrackPath = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

    NowPlaying(PlaybackController &controller, Clock &clock, QDBusConnection connection, Options options,
               QObject *parent = nullptr);
    ~NowPlaying() override;

    // Whether the player is on the bus.
    bool isRegistered() const { return m_registered; }

    // Recomputes what is published and tells the bus what changed.
    void update();

    // What the bus reads.
    QString playbackStatus() const;
    QVariantMap metadata() const { return m_metadata; }
    qint64 positionMicroseconds() const;
    // 1 only while the side is confirmed playing: a desktop clock stands still while a start
    // waits for the engine.
    double rate() const;

    // What the bus asks for.
    void play();
    void pause();
    void playPause();
    // A rate of 0 is a pause, as MPRIS asks; the deck has no other speeds to set.
    void setRate(double rate);
    void stop();
    void next();
    void previous();
    void seekBy(qint64 offsetMicroseconds);
    void setPosition(const QDBusObjectPath &trackId, qint64 positionMicroseconds);
    void raise();
    void quit();

    // The cover file URL published for a cover URL, once it has been fetched.
    std::optional<QUrl> cachedArtwork() const { return m_artwork ? std::optional(m_artwork->second) : std::nullopt; }

Q_SIGNALS:
    // Emitted after an update changed anything the bus sees.
    void published();

private:
    void scheduleUpdate();
    void perform(RemoteAction action);
    void loadArtwork(QUrl url);
    QCoro::Task<> fetchArtwork(QUrl url);
    void emitPropertiesChanged(const QString &interface, const QVariantMap &changed);
    void noteAnchor(bool sameTrack);
    QVariantMap computeMetadata();
    QDBusObjectPath currentTrackId() const;

    PlaybackController &m_controller;
    Clock &m_clock;
    QDBusConnection m_connection;
    Options m_options;
    MprisPlayerAdaptor *m_playerAdaptor = nullptr;
    bool m_registered = false;
    bool m_updateScheduled = false;

    // The one cached cover: its URL and the file published for it.
    std::optional<std::pair<QUrl, QUrl>> m_artwork;
    std::optional<QUrl> m_artworkLoading;

    QVariantMap m_metadata;
    QString m_status = QStringLiteral("Stopped");
    double m_rate = 0.0;
    // Where the position was expected to run, to tell a jump from a confirmation.
    qint64 m_lastPositionMs = 0;
    Instant m_lastPositionAt{};
    bool m_lastPlaying = false;
    // A start was asked for and has not been seen settled yet.
    bool m_startWaiting = false;
};

} // namespace velloran
