#pragma once

#include "standin/StandinHttp.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class QWebSocket;
class QWebSocketServer;

namespace velloran::standin {

class StandinServer;

// The service's player side: the playback SDK script that the player page loads in place
// of the real one, the push channel through which the service commands that script's
// devices (a WebSocket server of its own on a loopback port, which the served script
// names), and the Web API player commands PUT /v1/me/player/play, shuffle and repeat.
// Faults for those paths are scripted in the server's fault book like any other.
class StandinPlayer : public QObject {
    Q_OBJECT

public:
    explicit StandinPlayer(StandinServer &server);
    ~StandinPlayer() override;

    // The player of a server, created by its player routes.
    static StandinPlayer *of(StandinServer &server);

    // The script's URL on the server.
    QUrl sdkUrl() const;

    // The next `times` device registrations fail with the SDK error `kind`
    // ("authentication_error", "account_error", "initialization_error").
    void failNextRegistration(const QString &kind, const QString &message, int times = 1);

    QStringList deviceIDs() const;
    // Drops every device connection, as when the service loses its players.
    void disconnectAll();

    Reply sdkScript(const Request &request) const;
    Reply play(const Request &request);
    Reply shuffle(const Request &request);
    Reply repeat(const Request &request);

Q_SIGNALS:
    void deviceRegistered(const QString &deviceID);
    void deviceGone(const QString &deviceID);

private:
    struct Device;
    struct RegistrationFault {
        QString kind;
        QString message;
        int remaining;
    };

    std::variant<Device *, Reply> deviceFor(const Request &request);
    std::optional<qint64> trackDuration(const QString &uri) const;
    void acceptSocket(QWebSocket *socket);
    void receiveFromDevice(QWebSocket *socket, const QString &text);
    void dropSocket(QWebSocket *socket);

    StandinServer &m_server;
    QWebSocketServer *m_pushServer = nullptr;
    QHash<QString, std::shared_ptr<Device>> m_devices; // by device id
    QList<RegistrationFault> m_registrationFaults;
};

} // namespace velloran::standin
