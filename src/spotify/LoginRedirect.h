#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace velloran {

// The redirect that ends a login, as far as the program reads it.
struct LoginRedirect {
    QString code;   // empty when the service sent none (the user refused, say)
    bool operator==(const LoginRedirect &) const = default;
};

// A fresh value for the `state` item of an authorisation request: 32 bytes from the
// system's secure random source, Base64url without padding (43 characters).
QString newLoginState();

// Reads a URL handed to the program as the redirect of the login that sent `state`. It
// belongs to that login only when it is "cobbleden://callback" (scheme and host compared
// without case, an empty or "/" path) and its first `state` item equals `state` exactly;
// anything else gives nothing, so a stray or forged link cannot end the login. The code is
// the value of the first `code` item.
std::optional<LoginRedirect> readLoginRedirect(const QUrl &url, const QString &state);

} // namespace velloran
