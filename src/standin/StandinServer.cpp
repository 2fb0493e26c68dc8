#include "standin/StandinServer.h"

#include "standin/StandinRoutes.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace velloran::standin {

namespace {

constexpr std::size_t maxLoggedRequests = 2000;

QByteArray methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get: return "GET";
    case QHttpServerRequest::Method::Put: return "PUT";
    case QHttpServerRequest::Method::Delete: return "DELETE";
    case QHttpServerRequest::Method::Post: return "POST";
    case QHttpServerRequest::Method::Head: return "HEAD";
    case QHttpServerRequest::Method::Options: return "OPTIONS";
    case QHttpServerRequest::Method::Patch: return "PATCH";
    case QHttpServerRequest::Method::Connect: return "CONNECT";
    case QHttpServerRequest::Method::Trace: return "TRACE";
    default: return "UNKNOWN";
    }
}

QStringList segmentsOf(const QString &path)
{
    return path.split(u'/', Qt::SkipEmptyParts);
}

void writeReply(QHttpServerResponder &responder, const Reply &reply)
{
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
    for (const auto &[name, value] : reply.headers)
        responder.writeHeader(name, value);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    responder.writeBody(reply.body);
}

} // namespace

StandinServer::StandinServer(Catalogue catalogue, Clock &clock, QObject *parent)
    : QAbstractHttpServer(parent)
    , m_clock(clock)
    , m_accounts(clock)
    , m_catalogue(std::move(catalogue))
{
    registerAccountRoutes(*this);
    registerWebApiRoutes(*this);
    registerControlRoutes(*this);
    registerCoverRoutes(*this);
    registerPlayerRoutes(*this);
}

StandinServer::~StandinServer() = default;

bool StandinServer::listenOnLoopback(quint16 port)
{
    const quint16 bound = listen(QHostAddress::LocalHost, port);
    if (bound == 0)
        return false;
    m_baseUrl = QUrl(u"http://127.0.0.1:"_s + QString::number(bound));
    return true;
}

QUrl StandinServer::urlFor(const QString &path, const QUrlQuery &query) const
{
    QUrl url = m_baseUrl;
    url.setPath(path);
    if (!query.isEmpty())
        url.setQuery(query);
    return url;
}

void StandinServer::addRoute(QByteArray method, const QString &pattern, Handler handler)
{
    m_routes.push_back({std::move(method), segmentsOf(pattern), std::move(handler)});
}

const Request *StandinServer::lastRequest(const QString &path) const
{
    for (auto it = m_log.rbegin(); it != m_log.rend(); ++it) {
        if (it->path == path)
            return &*it;
    }
    return nullptr;
}

Reply StandinServer::dispatch(Request &request) const
{
    const QStringList segments = segmentsOf(request.path);
    bool pathMatched = false;
    for (const Route &route : m_routes) {
        if (route.segments.size() != segments.size())
            continue;
        QStringList captures;
        bool matches = true;
        for (qsizetype i = 0; i < segments.size() && matches; ++i) {
            if (route.segments[i] == "{}"_L1)
                captures.append(segments[i]);
            else
                matches = route.segments[i] == segments[i];
        }
        if (!matches)
            continue;
        pathMatched = true;
        if (route.method != request.method)
            continue;
        request.captures = std::move(captures);
        return route.handler(request);
    }
    if (pathMatched)
        return Reply::apiError(405, u"Method not allowed"_s);
    return Reply::apiError(404, u"Service not found"_s);
}

bool StandinServer::handleRequest(const QHttpServerRequest &httpRequest, QTcpSocket *socket)
{
    Request request;
    request.method = methodName(httpRequest.method());
    request.path = httpRequest.url().path();
    request.query = httpRequest.query();
    request.headers = httpRequest.headers();
    request.body = httpRequest.body();

    m_log.push_back(request);
    if (m_log.size() > maxLoggedRequests)
        m_log.pop_front();

    const FaultOutcome outcome = m_faults.take(request.path);
    if (outcome.delay.count() <= 0) {
        respond(httpRequest, socket, outcome.reply ? *outcome.reply : dispatch(request));
        return true;
    }

    // A slow answer: keep the responder and answer later, unless the client has gone.
    auto responder = std::make_shared<QHttpServerResponder>(makeResponder(httpRequest, socket));
    QTimer::singleShot(outcome.delay, this, [this, responder, connection = QPointer<QTcpSocket>(socket),
                                             reply = outcome.reply, request]() mutable {
        if (!connection)
            return;
        writeReply(*responder, reply ? *reply : dispatch(request));
    });
    return true;
}

void StandinServer::respond(const QHttpServerRequest &httpRequest, QTcpSocket *socket, const Reply &reply)
{
    QHttpServerResponder responder = makeResponder(httpRequest, socket);
    writeReply(responder, reply);
}

void StandinServer::missingHandler(const QHttpServerRequest &httpRequest, QTcpSocket *socket)
{
    respond(httpRequest, socket, Reply::apiError(404, u"Service not found"_s));
}

} // namespace velloran::standin
