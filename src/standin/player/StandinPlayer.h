#pragma once

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrlQuery>

#include <functional>
#include <memory>
#include <optional>

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponse;
class QWebSocket;
class QWebSocketServer;

namespace velloran::standin {

// The streaming service's player side for the loopback stand-in: the playback SDK script
// that the player page loads instead of the real one, the push channel through which the
// service commands that script's devices, and the Web API player commands.
//
// Routes (below the API prefix): PUT me/player/play, me/player/shuffle, me/player/repeat.
// Outside it: GET /standin/sdk/spotify-player.js. The push channel is a WebSocket server
// of its own on another loopback port, which the served script names.
class StandinPlayer : public QObject {
    Q_OBJECT

public:
    // How long a track lasts; nullopt for a URI the catalogue does not have.
    using TrackDuration = std::function<std::optional<qint64>(const QString &uri)>;
    // Whether an access token would be accepted by the service.
    using TokenCheck = std::function<bool(const QString &token)>;

    struct Command {
        QString method;
        QString path; // below the API prefix, e.g. "me/player/play"
        QUrlQuery query;
        QJsonObject body;
        int status = 0;
    };

    explicit StandinPlayer(TrackDuration duration, TokenCheck tokenCheck = {}, QObject *parent = nullptr);
    ~StandinPlayer() override;

    // Adds the routes; `apiPrefix` is the Web API's path prefix, e.g. "/v1/".
    void install(QHttpServer &server, const QString &apiPrefix = QStringLiteral("/v1/"));

    // The next `times` commands for `path` (below the API prefix) are answered with
    // `status` and a service-style error body instead of being carried out.
    void failNext(const QString &path, int status, int times = 1);
    // The next `times` device registrations fail with the SDK error `kind`
    // ("authentication_error", "account_error", "initialization_error").
    void failNextRegistration(const QString &kind, const QString &message, int times = 1);

    // Every player command received, in order, with the status it got.
    const QList<Command> &commands() const { return m_commands; }
    QStringList deviceIDs() const;

    // Drops every device connection, as when the service restarts.
    void disconnectAll();

Q_SIGNALS:
    void commandReceived(const velloran::standin::StandinPlayer::Command &command);
    void deviceRegistered(const QString &deviceID);
    void deviceGone(const QString &deviceID);

private:
    struct Device;
    struct Fault {
        QString path;
        int status;
        int remaining;
    };
    struct RegistrationFault {
        QString kind;
        QString message;
        int remaining;
    };

    QHttpServerResponse handleCommand(const QString &path, const QHttpServerRequest &request);
    QHttpServerResponse play(Device &device, const QJsonObject &body, Command &command);
    QByteArray sdkScript() const;
    void acceptSocket(QWebSocket *socket);
    void receiveFromDevice(QWebSocket *socket, const QString &text);
    void dropSocket(QWebSocket *socket);
    std::optional<int> takeFault(const QString &path);

    QWebSocketServer *m_pushServer = nullptr;
    TrackDuration m_duration;
    TokenCheck m_tokenCheck;
    QHash<QString, std::shared_ptr<Device>> m_devices; // by device id
    QList<Fault> m_faults;
    QList<RegistrationFault> m_registrationFaults;
    QList<Command> m_commands;
};

} // namespace velloran::standin
