#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace velloran::test {

// A small HTTP server on the loopback interface that answers GET requests with scripted
// bodies and counts the requests per path.
class CoverServer : public QObject {
public:
    struct Answer {
        int status = 200;
        QByteArray body;
    };

    CoverServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &CoverServer::accept);
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    void serve(const QString &path, Answer answer) { m_answers.insert(path, std::move(answer)); }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    int requests(const QString &path) const { return m_requests.value(path); }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
        }
    }

    void read(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        if (!pending.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> requestLine = pending.left(pending.indexOf("\r\n")).split(' ');
        m_pending.remove(socket);
        const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine.at(1)) : QString();
        ++m_requests[path];
        const Answer answer = m_answers.value(path, Answer{404, QByteArray("not here")});
        socket->write("HTTP/1.1 " + QByteArray::number(answer.status) + " Scripted\r\nContent-Length: "
                      + QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n\r\n" + answer.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QString, Answer> m_answers;
    QHash<QString, int> m_requests;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

} // namespace velloran::test
