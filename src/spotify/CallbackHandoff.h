#pragma once

// The redirect of a login comes back to the program as a command line: the desktop starts
// a second "velloran cobbleden://callback?..." through the scheme's handler. That process
// hands the URL to the running one over a local socket in the user's runtime folder and
// exits; the running one reports it to whoever waits for a login.

#include <QObject>
#include <QUrl>

#include <chrono>

class QLocalServer;
class QLocalSocket;

namespace velloran {

// The per-user name of the socket the running program listens on.
QString callbackSocketName();

// Whether a URL is a redirect to the program's callback scheme.
bool isCallbackUrl(const QUrl &url);

// Runs in the second process: hands the URL over. False when no program listens or the
// URL is not a callback.
bool sendCallback(const QUrl &url, const QString &socketName = callbackSocketName(),
                  std::chrono::milliseconds timeout = std::chrono::milliseconds{3000});

// Runs in the program: receives the URLs handed over.
class CallbackListener : public QObject {
    Q_OBJECT

public:
    explicit CallbackListener(QString socketName = callbackSocketName(), QObject *parent = nullptr);
    ~CallbackListener() override;

    // Starts listening, taking over a socket left behind by a program that died. False when
    // another running program already listens.
    bool listen();
    bool isListening() const;

Q_SIGNALS:
    void callbackReceived(const QUrl &url);

private:
    void accept();
    void read(QLocalSocket *socket);

    QString m_socketName;
    QLocalServer *m_server;
};

} // namespace velloran
