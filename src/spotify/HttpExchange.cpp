#include "spotify/HttpExchange.h"

#include <QCoroSignal>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>

#include <memory>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

// Deletes the reply when the exchange ends, unless its manager already took it down.
class ReplyGuard {
public:
    explicit ReplyGuard(QNetworkReply *reply) : m_reply(reply) {}
    ~ReplyGuard()
    {
        if (m_reply)
            m_reply->deleteLater();
    }
    ReplyGuard(const ReplyGuard &) = delete;
    ReplyGuard &operator=(const ReplyGuard &) = delete;

private:
    QPointer<QNetworkReply> m_reply;
};

} // namespace

QByteArray HttpResponse::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QCoro::Task<HttpResponse> exchange(QNetworkAccessManager *network, QNetworkRequest request, QByteArray method,
                                   QByteArray body, HttpLimits limits)
{
    if (!network)
        throw NetworkError(u"Velloran couldn't reach Spotify: the network is not available."_s);

    request.setTransferTimeout(int(limits.timeout.count()));
    QNetworkReply *raw = method == "GET" ? network->get(request) : network->sendCustomRequest(request, method, body);
    const ReplyGuard guard(raw);

    // Read as the answer arrives, so that an oversized one is cut off instead of buffered.
    auto received = std::make_shared<QByteArray>();
    auto tooLarge = std::make_shared<bool>(false);
    QObject::connect(raw, &QNetworkReply::readyRead, raw, [raw, received, tooLarge, max = limits.maxResponseBytes] {
        if (*tooLarge)
            return;
        if (received->size() + raw->bytesAvailable() > max) {
            *tooLarge = true;
            raw->abort();
            return;
        }
        received->append(raw->readAll());
    });

    if (!raw->isFinished())
        co_await qCoro(raw, &QNetworkReply::finished);
    raw->disconnect();

    if (*tooLarge || received->size() + raw->bytesAvailable() > limits.maxResponseBytes)
        throw NetworkError(u"Spotify's answer was too large."_s);
    if (raw->isOpen())
        received->append(raw->readAll());

    const QVariant status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        HttpResponse response{true, status.toInt(), std::move(*received), {}};
        for (const auto &pair : raw->rawHeaderPairs())
            response.headers.append(pair);
        co_return response;
    }
    switch (raw->error()) {
    case QNetworkReply::NoError:
        co_return HttpResponse{false, 0, std::move(*received), {}};
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        throw NetworkError(u"Spotify didn't answer in time."_s);
    default:
        throw NetworkError(u"Velloran couldn't reach Spotify: "_s + raw->errorString());
    }
}

} // namespace velloran
