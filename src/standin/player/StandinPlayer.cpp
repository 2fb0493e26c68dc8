#include "standin/player/StandinPlayer.h"

#include <QFile>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QRandomGenerator>
#include <QWebSocket>
#include <QWebSocketServer>

using namespace Qt::StringLiterals;

namespace velloran::standin {
namespace {

constexpr qint64 maxTracksPerPlay = 800; // the service's own limit on "uris"

QHttpServerResponse errorResponse(int status, const QString &message)
{
    const QJsonObject body{{u"error"_s, QJsonObject{{u"status"_s, status}, {u"message"_s, message}}}};
    return QHttpServerResponse(body, QHttpServerResponse::StatusCode(status));
}

QString newDeviceID()
{
    QByteArray bytes(20, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    return QString::fromLatin1(bytes.toHex());
}

QString bearerToken(const QHttpServerRequest &request)
{
    const QByteArray header = request.value("Authorization");
    if (!header.startsWith("Bearer "))
        return {};
    return QString::fromUtf8(header.mid(7)).trimmed();
}

void send(QWebSocket *socket, const QJsonObject &message)
{
    if (socket)
        socket->sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

} // namespace

struct StandinPlayer::Device {
    QString id;
    QString name;
    QPointer<QWebSocket> socket;
    bool shuffle = false;
    QString repeat = u"off"_s;
};

StandinPlayer::StandinPlayer(TrackDuration duration, TokenCheck tokenCheck, QObject *parent)
    : QObject(parent),
      m_pushServer(new QWebSocketServer(u"Velloran stand-in player"_s, QWebSocketServer::NonSecureMode, this)),
      m_duration(std::move(duration)),
      m_tokenCheck(std::move(tokenCheck))
{
    m_pushServer->listen(QHostAddress::LocalHost, 0);
    connect(m_pushServer, &QWebSocketServer::newConnection, this, [this] {
        while (m_pushServer->hasPendingConnections())
            acceptSocket(m_pushServer->nextPendingConnection());
    });
}

StandinPlayer::~StandinPlayer() = default;

void StandinPlayer::install(QHttpServer &server, const QString &apiPrefix)
{
    server.route(u"/standin/sdk/spotify-player.js"_s, QHttpServerRequest::Method::Get, [this] {
        const QByteArray script = sdkScript();
        if (script.isEmpty())
            return QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound);
        QHttpServerResponse response("text/javascript", script);
        response.setHeader("Cache-Control", "no-store");
        return response;
    });
    for (const QString &path : {u"me/player/play"_s, u"me/player/shuffle"_s, u"me/player/repeat"_s}) {
        server.route(apiPrefix + path, QHttpServerRequest::Method::Put,
                     [this, path](const QHttpServerRequest &request) { return handleCommand(path, request); });
    }
}

QByteArray StandinPlayer::sdkScript() const
{
    QFile file(u":/standin/standin-sdk.js"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray pushUrl = "ws://127.0.0.1:" + QByteArray::number(m_pushServer->serverPort()) + '/';
    return file.readAll().replace(QByteArrayView("@PUSH_URL@"), QByteArrayView(pushUrl));
}

void StandinPlayer::failNext(const QString &path, int status, int times)
{
    m_faults.append({path, status, times});
}

void StandinPlayer::failNextRegistration(const QString &kind, const QString &message, int times)
{
    m_registrationFaults.append({kind, message, times});
}

QStringList StandinPlayer::deviceIDs() const
{
    return m_devices.keys();
}

void StandinPlayer::disconnectAll()
{
    const auto devices = m_devices;
    for (const auto &device : devices) {
        if (device->socket)
            device->socket->close();
    }
}

std::optional<int> StandinPlayer::takeFault(const QString &path)
{
    for (qsizetype i = 0; i < m_faults.size(); ++i) {
        Fault &fault = m_faults[i];
        if (fault.path != path)
            continue;
        const int status = fault.status;
        if (--fault.remaining <= 0)
            m_faults.removeAt(i);
        return status;
    }
    return std::nullopt;
}

QHttpServerResponse StandinPlayer::handleCommand(const QString &path, const QHttpServerRequest &request)
{
    Command command{u"PUT"_s, path, request.query(), {}, 0};
    auto finish = [&](QHttpServerResponse response) {
        command.status = int(response.statusCode());
        m_commands.append(command);
        Q_EMIT commandReceived(command);
        return response;
    };

    const QString token = bearerToken(request);
    if (token.isEmpty() || (m_tokenCheck && !m_tokenCheck(token)))
        return finish(errorResponse(401, u"Invalid access token"_s));
    if (!request.body().isEmpty()) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(request.body(), &error);
        if (error.error != QJsonParseError::NoError || !document.isObject())
            return finish(errorResponse(400, u"Malformed json"_s));
        command.body = document.object();
    }
    if (const auto status = takeFault(path))
        return finish(errorResponse(*status, u"Scripted failure"_s));

    const QString deviceID = command.query.queryItemValue(u"device_id"_s, QUrl::FullyDecoded);
    const auto found = m_devices.constFind(deviceID);
    if (found == m_devices.cend() || !(*found)->socket)
        return finish(errorResponse(404, u"Device not found"_s));
    Device &device = **found;

    if (path == "me/player/play"_L1)
        return finish(play(device, command.body, command));
    const QString state = command.query.queryItemValue(u"state"_s);
    if (path == "me/player/shuffle"_L1) {
        if (state != "true"_L1 && state != "false"_L1)
            return finish(errorResponse(400, u"Illegal shuffle state"_s));
        device.shuffle = state == "true"_L1;
    } else {
        if (state != "off"_L1 && state != "track"_L1 && state != "context"_L1)
            return finish(errorResponse(400, u"Illegal repeat state"_s));
        device.repeat = state;
    }
    return finish(QHttpServerResponse(QHttpServerResponse::StatusCode::NoContent));
}

QHttpServerResponse StandinPlayer::play(Device &device, const QJsonObject &body, Command &command)
{
    Q_UNUSED(command)
    const QJsonValue urisValue = body.value("uris"_L1);
    if (!urisValue.isArray() || urisValue.toArray().isEmpty() || urisValue.toArray().size() > maxTracksPerPlay)
        return errorResponse(400, u"Expected between 1 and 800 uris"_s);
    QJsonArray tracks;
    for (const QJsonValue &uri : urisValue.toArray()) {
        const std::optional<qint64> duration = uri.isString() && m_duration ? m_duration(uri.toString()) : std::nullopt;
        if (!duration)
            return errorResponse(400, u"Invalid track uri: "_s + uri.toString());
        tracks.append(QJsonObject{{u"uri"_s, uri.toString()}, {u"duration_ms"_s, *duration}});
    }
    const QJsonValue offset = body.value("offset"_L1);
    qint64 index = 0;
    if (offset.isObject()) {
        const QJsonValue position = offset.toObject().value("position"_L1);
        if (!position.isDouble() || position.toDouble() != double(position.toInteger()) || position.toInteger() < 0
            || position.toInteger() >= tracks.size())
            return errorResponse(400, u"Invalid offset"_s);
        index = position.toInteger();
    }
    const QJsonValue positionValue = body.value("position_ms"_L1);
    const qint64 positionMs = positionValue.isDouble() ? std::max<qint64>(positionValue.toInteger(), 0) : 0;

    send(device.socket, QJsonObject{{u"type"_s, u"play"_s},
                                    {u"tracks"_s, tracks},
                                    {u"index"_s, index},
                                    {u"position_ms"_s, positionMs}});
    return QHttpServerResponse(QHttpServerResponse::StatusCode::NoContent);
}

void StandinPlayer::acceptSocket(QWebSocket *socket)
{
    socket->setParent(this);
    connect(socket, &QWebSocket::textMessageReceived, this,
            [this, socket](const QString &text) { receiveFromDevice(socket, text); });
    connect(socket, &QWebSocket::disconnected, this, [this, socket] { dropSocket(socket); });
}

void StandinPlayer::receiveFromDevice(QWebSocket *socket, const QString &text)
{
    const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
    if (message.value("type"_L1).toString() != "register"_L1)
        return;
    if (!m_registrationFaults.isEmpty()) {
        RegistrationFault &fault = m_registrationFaults.first();
        send(socket, QJsonObject{{u"type"_s, u"error"_s}, {u"kind"_s, fault.kind}, {u"message"_s, fault.message}});
        if (--fault.remaining <= 0)
            m_registrationFaults.removeFirst();
        return;
    }
    const QString token = message.value("token"_L1).toString();
    if (token.isEmpty() || (m_tokenCheck && !m_tokenCheck(token))) {
        send(socket, QJsonObject{{u"type"_s, u"error"_s},
                                 {u"kind"_s, u"authentication_error"_s},
                                 {u"message"_s, u"Invalid token scopes."_s}});
        return;
    }
    auto device = std::make_shared<Device>();
    device->id = newDeviceID();
    device->name = message.value("name"_L1).toString().left(200);
    device->socket = socket;
    m_devices.insert(device->id, device);
    send(socket, QJsonObject{{u"type"_s, u"registered"_s}, {u"device_id"_s, device->id}});
    Q_EMIT deviceRegistered(device->id);
}

void StandinPlayer::dropSocket(QWebSocket *socket)
{
    for (auto it = m_devices.begin(); it != m_devices.end();) {
        if ((*it)->socket == socket || !(*it)->socket) {
            const QString id = it.key();
            it = m_devices.erase(it);
            Q_EMIT deviceGone(id);
        } else {
            ++it;
        }
    }
    socket->deleteLater();
}

} // namespace velloran::standin
