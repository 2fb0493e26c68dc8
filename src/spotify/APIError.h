#pragma once

#include "core/UserFacingError.h"

#include <QByteArray>

namespace velloran {

// A Web API request that the service refused; the message is shown to the user unchanged.
class APIError : public UserFacingError {
public:
    enum class Kind { http, playlistNotReadable };

    // Status 0 stands for an answer that was not an HTTP response.
    static APIError http(int status, const QByteArray &body);
    static APIError playlistNotReadable();

    Kind kind() const { return m_kind; }
    int status() const { return m_status; }
    const QByteArray &body() const { return m_body; }

private:
    APIError(Kind kind, QString message, int status, QByteArray body)
        : UserFacingError(std::move(message)), m_kind(kind), m_status(status), m_body(std::move(body))
    {
    }

    Kind m_kind;
    int m_status;
    QByteArray m_body;
};

} // namespace velloran
