// The player side of the stand-in: SDK script, push channel and player commands.

#include "standin/StandinPlayer.h"

#include "standin/StandinRoutes.h"
#include "standin/StandinServer.h"

#include <QFile>
#include <QJsonArray>
#include <QPointer>
#include <QRandomGenerator>
#include <QWebSocket>
#include <QWebSocketServer>

using namespace Qt::StringLiterals;

namespace velloran::standin {
namespace {

constexpr qsizetype maxTracksPerPlay = 800; // the service's own limit on "uris"
const QString sdkPath = u"/standin/sdk/spotify-player.js"_s;

QString newDeviceID()
{
    QByteArray bytes(20, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    return QString::fromLatin1(bytes.toHex());
}

void send(QWebSocket *socket, const QJsonObject &message)
{
    if (socket)
        socket->sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

std::optional<QJsonObject> jsonBody(const Request &request)
{
    if (request.body.trimmed().isEmpty())
        return QJsonObject{};
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace

struct StandinPlayer::Device {
    QString id;
    QString name;
    QPointer<QWebSocket> socket;
    bool shuffle = false;
    QString repeat = u"off"_s;
};

void registerPlayerRoutes(StandinServer &server)
{
    auto *player = new StandinPlayer(server);
    server.addRoute("GET", sdkPath, [player](const Request &request) { return player->sdkScript(request); });
    server.addRoute("PUT", u"/v1/me/player/play"_s, [player](const Request &request) { return player->play(request); });
    server.addRoute("PUT", u"/v1/me/player/shuffle"_s,
                    [player](const Request &request) { return player->shuffle(request); });
    server.addRoute("PUT", u"/v1/me/player/repeat"_s,
                    [player](const Request &request) { return player->repeat(request); });
}

StandinPlayer::StandinPlayer(StandinServer &server)
    : QObject(&server),
      m_server(server),
      m_pushServer(new QWebSocketServer(u"Velloran stand-in player"_s, QWebSocketServer::NonSecureMode, this))
{
    setObjectName(u"standin-player"_s);
    m_pushServer->listen(QHostAddress::LocalHost, 0);
    connect(m_pushServer, &QWebSocketServer::newConnection, this, [this] {
        while (m_pushServer->hasPendingConnections())
            acceptSocket(m_pushServer->nextPendingConnection());
    });
}

StandinPlayer::~StandinPlayer() = default;

StandinPlayer *StandinPlayer::of(StandinServer &server)
{
    return server.findChild<StandinPlayer *>(u"standin-player"_s, Qt::FindDirectChildrenOnly);
}

QUrl StandinPlayer::sdkUrl() const
{
    return m_server.urlFor(sdkPath);
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

Reply StandinPlayer::sdkScript(const Request &) const
{
    QFile file(u":/standin/StandinSdk.js"_s);
    if (!file.open(QIODevice::ReadOnly))
        return Reply::text(404, u"Not found"_s);
    const QByteArray pushUrl = "ws://127.0.0.1:" + QByteArray::number(m_pushServer->serverPort()) + '/';
    Reply reply;
    reply.body = file.readAll().replace(QByteArrayView("@PUSH_URL@"), QByteArrayView(pushUrl));
    return reply.withHeader("Content-Type", "text/javascript; charset=utf-8").withHeader("Cache-Control", "no-store");
}

std::variant<StandinPlayer::Device *, Reply> StandinPlayer::deviceFor(const Request &request)
{
    if (auto failure = m_server.accounts().checkBearer(request))
        return *failure;
    const QString id = request.query.queryItemValue(u"device_id"_s, QUrl::FullyDecoded);
    const auto found = m_devices.constFind(id);
    if (found == m_devices.cend() || !(*found)->socket)
        return Reply::apiError(404, u"Device not found"_s);
    return found->get();
}

std::optional<qint64> StandinPlayer::trackDuration(const QString &uri) const
{
    const auto durationIn = [&uri](const QJsonValue &track) -> std::optional<qint64> {
        const QJsonObject object = track.toObject();
        if (object.value("uri"_L1).toString() != uri || !object.value("duration_ms"_L1).isDouble())
            return std::nullopt;
        return object.value("duration_ms"_L1).toInteger();
    };
    const Catalogue &catalogue = m_server.catalogue();
    for (const QJsonObject &album : catalogue.albums) {
        for (const QJsonValue &track : album.value("tracks"_L1).toArray()) {
            if (const auto duration = durationIn(track))
                return duration;
        }
    }
    for (const Catalogue::Playlist &playlist : catalogue.playlists) {
        for (const QJsonValue &item : playlist.items) {
            if (const auto duration = durationIn(item.toObject().value("track"_L1)))
                return duration;
        }
    }
    return std::nullopt;
}

Reply StandinPlayer::play(const Request &request)
{
    auto found = deviceFor(request);
    if (auto *failure = std::get_if<Reply>(&found))
        return *failure;
    Device &device = *std::get<Device *>(found);
    const std::optional<QJsonObject> body = jsonBody(request);
    if (!body)
        return Reply::apiError(400, u"Malformed json"_s);

    const QJsonValue urisValue = body->value("uris"_L1);
    if (!urisValue.isArray() || urisValue.toArray().isEmpty() || urisValue.toArray().size() > maxTracksPerPlay)
        return Reply::apiError(400, u"Expected between 1 and 800 uris"_s);
    QJsonArray tracks;
    for (const QJsonValue &uri : urisValue.toArray()) {
        const std::optional<qint64> duration = uri.isString() ? trackDuration(uri.toString()) : std::nullopt;
        if (!duration)
            return Reply::apiError(400, u"Invalid track uri: "_s + uri.toString());
        tracks.append(QJsonObject{{u"uri"_s, uri.toString()}, {u"duration_ms"_s, *duration}});
    }
    qint64 index = 0;
    if (const QJsonValue offset = body->value("offset"_L1); offset.isObject()) {
        const QJsonValue position = offset.toObject().value("position"_L1);
        if (!position.isDouble() || position.toDouble() != double(position.toInteger()) || position.toInteger() < 0
            || position.toInteger() >= tracks.size())
            return Reply::apiError(400, u"Invalid offset"_s);
        index = position.toInteger();
    }
    const QJsonValue positionValue = body->value("position_ms"_L1);
    const qint64 positionMs = positionValue.isDouble() ? std::max<qint64>(positionValue.toInteger(), 0) : 0;

    send(device.socket, QJsonObject{{u"type"_s, u"play"_s},
                                    {u"tracks"_s, tracks},
                                    {u"index"_s, index},
                                    {u"position_ms"_s, positionMs}});
    return Reply::noContent();
}

Reply StandinPlayer::shuffle(const Request &request)
{
    auto found = deviceFor(request);
    if (auto *failure = std::get_if<Reply>(&found))
        return *failure;
    const QString state = request.query.queryItemValue(u"state"_s);
    if (state != "true"_L1 && state != "false"_L1)
        return Reply::apiError(400, u"Illegal shuffle state"_s);
    std::get<Device *>(found)->shuffle = state == "true"_L1;
    return Reply::noContent();
}

Reply StandinPlayer::repeat(const Request &request)
{
    auto found = deviceFor(request);
    if (auto *failure = std::get_if<Reply>(&found))
        return *failure;
    const QString state = request.query.queryItemValue(u"state"_s);
    if (state != "off"_L1 && state != "track"_L1 && state != "context"_L1)
        return Reply::apiError(400, u"Illegal repeat state"_s);
    std::get<Device *>(found)->repeat = state;
    return Reply::noContent();
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
    // The SDK signs its connection with the same access token the Web API takes.
    Request signedBy;
    signedBy.headers.append({"Authorization", "Bearer " + message.value("token"_L1).toString().toUtf8()});
    if (m_server.accounts().checkBearer(signedBy)) {
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
