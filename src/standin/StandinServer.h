#pragma once

// A loopback stand-in for Spotify's accounts service and Web API, for tests and the demo.
//
// The server itself only routes: every group of endpoints (accounts, catalogue, control,
// and whatever is added later, such as the player commands or cover images) lives in its
// own file as a `register...Routes(StandinServer &)` function that adds its routes with
// addRoute() and keeps its state in the shared objects the server owns: the accounts (who
// holds which token), the catalogue, and the fault book. Every request is counted and may
// meet a scripted fault before its route runs.

#include "core/Clock.h"
#include "standin/StandinAccounts.h"
#include "standin/StandinCatalogue.h"
#include "standin/StandinFaults.h"
#include "standin/StandinHttp.h"

#include <QAbstractHttpServer>
#include <QUrl>

#include <deque>
#include <functional>
#include <vector>

namespace velloran::standin {

class StandinServer : public QAbstractHttpServer {
    Q_OBJECT

public:
    using Handler = std::function<Reply(const Request &)>;

    explicit StandinServer(Catalogue catalogue = Catalogue::sample(), Clock &clock = SystemClock::shared(),
                           QObject *parent = nullptr);
    ~StandinServer() override;

    // Listens on 127.0.0.1 only; port 0 picks a free one. Returns false when it cannot.
    bool listenOnLoopback(quint16 port = 0);
    // "http://127.0.0.1:PORT", valid once listening.
    QUrl baseUrl() const { return m_baseUrl; }
    // An absolute URL on this server.
    QUrl urlFor(const QString &path, const QUrlQuery &query = {}) const;

    // Adds a route. In `pattern` every "{}" segment matches one path segment, which the
    // handler finds in Request::captures. Routes are tried in the order they were added.
    void addRoute(QByteArray method, const QString &pattern, Handler handler);

    Clock &clock() { return m_clock; }
    Accounts &accounts() { return m_accounts; }
    Catalogue &catalogue() { return m_catalogue; }
    FaultBook &faults() { return m_faults; }
    const FaultBook &faults() const { return m_faults; }

    // The most recent requests, oldest first (bounded).
    const std::deque<Request> &requestLog() const { return m_log; }
    // The most recent request of a path, if any.
    const Request *lastRequest(const QString &path) const;

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Route {
        QByteArray method;
        QStringList segments;
        Handler handler;
    };

    Reply dispatch(Request &request) const;
    void respond(const QHttpServerRequest &request, QTcpSocket *socket, const Reply &reply);

    Clock &m_clock;
    Accounts m_accounts;
    Catalogue m_catalogue;
    FaultBook m_faults;
    std::vector<Route> m_routes;
    std::deque<Request> m_log;
    QUrl m_baseUrl;
};

} // namespace velloran::standin
