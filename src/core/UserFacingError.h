#pragma once

#include <QString>

#include <exception>

namespace velloran {

// Base of every failure whose text the interface shows unchanged.
class UserFacingError : public std::exception {
public:
    explicit UserFacingError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {
    }

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The text a failure shows the user: a user-facing error's own message, otherwise what the
// exception says of itself, otherwise `otherwise`.
QString userFacingText(std::exception_ptr failure, const QString &otherwise);

} // namespace velloran
