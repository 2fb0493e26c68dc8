#include "spotify/CallbackHandoff.h"

#include "spotify/SpotifyConfig.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

// A callback URL is short; anything longer is not one.
constexpr qint64 maxCallbackBytes = 8192;
constexpr std::chrono::milliseconds clientPatience{5000};

} // namespace

QString callbackSocketName()
{
    // The runtime folder belongs to the user alone (mode 0700), so no one else can connect.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime + u"/velloran-callback"_s;
    return u"velloran-callback-"_s + qEnvironmentVariable("USER");
}

bool isCallbackUrl(const QUrl &url)
{
    return url.isValid() && url.scheme().compare(SpotifyConfig::callbackScheme(), Qt::CaseInsensitive) == 0;
}

bool sendCallback(const QUrl &url, const QString &socketName, std::chrono::milliseconds timeout)
{
    if (!isCallbackUrl(url))
        return false;
    const QByteArray line = url.toEncoded() + '\n';
    if (line.size() > maxCallbackBytes)
        return false;
    QLocalSocket socket;
    socket.connectToServer(socketName);
    if (!socket.waitForConnected(int(timeout.count())))
        return false;
    socket.write(line);
    const bool written = socket.waitForBytesWritten(int(timeout.count()));
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(int(timeout.count()));
    return written;
}

CallbackListener::CallbackListener(QString socketName, QObject *parent)
    : QObject(parent), m_socketName(std::move(socketName)), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &CallbackListener::accept);
}

CallbackListener::~CallbackListener() = default;

bool CallbackListener::listen()
{
    if (m_server->isListening())
        return true;
    // Someone answering means another program owns the name. Otherwise whatever is left
    // at the name is a leftover of a program that died, and listening replaces it.
    QLocalSocket probe;
    probe.connectToServer(m_socketName);
    if (probe.waitForConnected(500))
        return false;
    if (m_server->listen(m_socketName))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    QLocalServer::removeServer(m_socketName);
    return m_server->listen(m_socketName);
}

bool CallbackListener::isListening() const
{
    return m_server->isListening();
}

void CallbackListener::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        QTimer::singleShot(clientPatience, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0)
            read(socket);
    }
}

void CallbackListener::read(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > maxCallbackBytes)
            socket->abort();
        return;
    }
    // One URL per connection; whatever follows it is ignored.
    const QByteArray line = socket->readLine(maxCallbackBytes + 1).trimmed();
    disconnect(socket, nullptr, this, nullptr);
    socket->disconnectFromServer();
    const QUrl url = QUrl::fromEncoded(line, QUrl::StrictMode);
    if (isCallbackUrl(url))
        Q_EMIT callbackReceived(url);
}

} // namespace velloran
