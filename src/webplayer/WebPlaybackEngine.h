#pragma once

#include "core/Clock.h"
#include "playback/AudioEngine.h"
#include "playback/PlayerPageMessage.h"

#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QPointer>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QWebChannel;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineLoadingInfo;

namespace velloran {

class SpotifyAPI;
class SpotifyAuth;

class PlayerWebPage;
class PlayerPageBridge;

// The program's audio engine: the streaming service's playback SDK running in a hidden web
// page. The engine loads the page, answers its token requests, turns its messages into
// engine events, drives it through a few page functions and starts sides through the Web
// API's player commands, addressed to the device the page registered.
class WebPlaybackEngine : public QObject, public AudioEngine {
    Q_OBJECT
    Q_PROPERTY(QString deviceID READ deviceIDText NOTIFY deviceIDChanged)

public:
    // An access token for the page; `force` asks for a refreshed one. Throws on failure.
    using TokenFunction = std::function<QCoro::Task<QString>(bool force)>;
    // A Web API command without an answer body (method, path below the API base, query,
    // optional JSON body). Throws on failure.
    using RequestFunction = std::function<QCoro::Task<>(QByteArray method, QString path, QMap<QString, QString> query,
                                                        std::optional<QJsonObject> body)>;
    // Whether a failure thrown by the request function was an HTTP 404 answer.
    using NotFoundTest = std::function<bool(std::exception_ptr)>;

    struct Services {
        TokenFunction accessToken;
        RequestFunction request;
        NotFoundTest isNotFound;
    };

    // The program's services: tokens from the authorisation object, commands through the
    // Web API client. Both must outlive the engine.
    static Services spotifyServices(SpotifyAuth &auth, const SpotifyAPI &api);
    // Whether a Web API client's failure was a 404 answer.
    static bool isNotFoundAnswer(std::exception_ptr failure);

    struct Options {
        // Where the page's HTML comes from.
        QString pageResource = QStringLiteral(":/velloran/player.html");
        // The SDK script the page loads; empty means VELLORAN_SDK_URL, else the real SDK.
        QString sdkUrl;
        // The profile the page keeps its storage in; null means the program's persistent one
        // (named "Velloran", in the application's data folder).
        QWebEngineProfile *profile = nullptr;
    };

    // The SDK script URL as configured by VELLORAN_SDK_URL; empty when unset.
    static QString configuredSdkUrl();

    WebPlaybackEngine(Services services, Clock &clock, QObject *parent = nullptr);
    WebPlaybackEngine(Services services, Clock &clock, Options options, QObject *parent = nullptr);
    ~WebPlaybackEngine() override;

    const std::optional<QString> &deviceID() const { return m_deviceID; }
    QString deviceIDText() const { return m_deviceID.value_or(QString()); }
    bool isStarted() const { return m_started; }

    // The page that runs the player. It has no view and lies in no window.
    QWebEnginePage *page() const;

    void start() override;
    QCoro::Task<> play(QStringList uris, qint64 startIndex, qint64 positionMs) override;
    void pause() override;
    void resume() override;
    void seek(qint64 positionMs) override;

    // One message body as posted by the page to the "player" bridge.
    void receivePageMessage(const QJsonValue &body);

Q_SIGNALS:
    void deviceIDChanged();

private:
    void handlePageMessage(const PageMessage &message);
    void handleLoading(const QWebEngineLoadingInfo &info);
    void setDeviceID(std::optional<QString> id);
    void callPage(const QString &call);
    QCoro::Task<> answerTokenRequest();
    QCoro::Task<> refreshTokenAfterAuthenticationError();
    QCoro::Task<> sendPlay(QString device, QJsonObject body);
    QCoro::Task<> switchOffShuffleAndRepeat(QString device, quint64 registration);

    Services m_services;
    Clock &m_clock;
    Options m_options;
    QPointer<PlayerWebPage> m_page;
    QWebChannel *m_channel = nullptr;
    PlayerPageBridge *m_bridge = nullptr;

    std::optional<QString> m_deviceID;
    bool m_started = false;
    bool m_playbackModeSet = false;
    // Counts "ready" messages, so a late play cannot mark a newer device as set up.
    quint64 m_registration = 0;
};

} // namespace velloran
