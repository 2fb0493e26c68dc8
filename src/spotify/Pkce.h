#pragma once

#include <QString>

namespace velloran {

// Proof Key for Code Exchange (RFC 7636) with the S256 method.
struct Pkce {
    QString verifier;   // 86 characters of Base64url from 64 random bytes
    QString challenge;  // Base64url of the verifier's SHA-256, 43 characters

    static Pkce generate();
    static QString challengeFor(const QString &verifier);
};

} // namespace velloran
