#pragma once

#include "core/Clock.h"
#include "standin/StandinHttp.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

namespace velloran::standin {

// The one account the stand-in knows, the client allowed to use it, and every code and
// token handed out. Tests script the account through the setters.
class Accounts {
public:
    explicit Accounts(Clock &clock);

    struct Issued {
        QString access;
        QString refresh;
        double expiresIn;
    };

    // Scripting.
    QString clientId;                     // the client /authorize and /api/token accept
    QString redirectUri;                  // the redirect URI they accept
    double expiresIn = 3600;              // expires_in of every new access token
    bool rotateRefreshTokens = true;      // a refresh answers with a new refresh token
    bool denyAuthorization = false;       // /authorize redirects with error=access_denied
    std::optional<QString> product = QStringLiteral("premium");   // absent: "me" has no product
    bool onAllowList = true;              // false: "me" answers 403

    // Puts the scriptable behaviour above back to its defaults; tokens stay valid.
    void resetBehaviour();

    // Every access token now held expires at once.
    void expireAccessTokens();
    // Every refresh token now held stops working.
    void revokeRefreshTokens();
    // Hands out a fresh pair directly, as if a login had just happened.
    Issued issueTokens();

    // An error reply when the request carries no valid bearer token.
    std::optional<Reply> checkBearer(const Request &request) const;

    int tokenRequests() const { return m_tokenRequests; }

    // Route handlers.
    Reply authorize(const Request &request);
    Reply token(const Request &request);

private:
    struct PendingCode {
        QString challenge;
        QString redirectUri;
        QString clientId;
    };

    Reply exchangeCode(const QUrlQuery &form);
    Reply refresh(const QUrlQuery &form);
    Reply tokenReply(const Issued &issued, bool withRefresh) const;
    static QString randomToken(int bytes);

    Clock &m_clock;
    QHash<QString, PendingCode> m_codes;
    QHash<QString, Instant> m_accessTokens;
    QSet<QString> m_refreshTokens;
    int m_tokenRequests = 0;
};

} // namespace velloran::standin
