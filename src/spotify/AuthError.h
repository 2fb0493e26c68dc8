#pragma once

#include "core/UserFacingError.h"

namespace velloran {

// Why a login or a token request failed; the message is shown to the user unchanged.
class AuthError : public UserFacingError {
public:
    enum class Kind { tokenEndpoint, noCode, notLoggedIn, sessionExpired, notOnTestList, needsPremium };

    static AuthError tokenEndpoint(const QString &body);
    static AuthError noCode();
    static AuthError notLoggedIn();
    static AuthError sessionExpired();
    static AuthError notOnTestList();
    static AuthError needsPremium();

    Kind kind() const { return m_kind; }

private:
    AuthError(Kind kind, QString message) : UserFacingError(std::move(message)), m_kind(kind) {}

    Kind m_kind;
};

// A login that ended because the user cancelled it or a newer login replaced it. Callers
// stay silent about it.
class LoginCancelled : public UserFacingError {
public:
    LoginCancelled();
};

} // namespace velloran
