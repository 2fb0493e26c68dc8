#pragma once

#include "core/UserFacingError.h"

#include <QByteArray>
#include <QCoroTask>
#include <QList>
#include <QNetworkRequest>
#include <QPair>

#include <chrono>

class QNetworkAccessManager;

namespace velloran {

// The request never got an HTTP answer: no connection, a time-out, an answer too large.
class NetworkError : public UserFacingError {
public:
    using UserFacingError::UserFacingError;
};

struct HttpResponse {
    bool isHttp = false;   // false for an answer that did not come over HTTP
    int status = 0;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;

    QByteArray header(const QByteArray &name) const;
};

struct HttpLimits {
    std::chrono::milliseconds timeout{60000};
    qint64 maxResponseBytes = 32 * 1024 * 1024;
};

// Sends one request and collects its whole answer, which may not exceed the size limit.
// Throws NetworkError when there is no HTTP answer.
//
// Callers start a coroutine in a statement of its own and co_await the task in the next
// (`auto answer = exchange(...); co_await std::move(answer);`): g++ 12 destroys the
// argument temporaries of a call inside a co_await expression twice.
QCoro::Task<HttpResponse> exchange(QNetworkAccessManager *network, QNetworkRequest request, QByteArray method,
                                   QByteArray body, HttpLimits limits);

} // namespace velloran
