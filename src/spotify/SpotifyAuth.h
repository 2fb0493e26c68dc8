#pragma once

#include "core/Clock.h"
#include "spotify/AuthError.h"
#include "spotify/HttpExchange.h"
#include "spotify/LoginRedirect.h"
#include "spotify/SpotifyConfig.h"
#include "spotify/Tokens.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace velloran {

class AuthorizationOpener;
class TokenStore;

// Signs the user in to Spotify (authorisation code with PKCE, the user's browser showing
// the page), checks that the account may use the program, keeps the tokens in the token
// store, and hands every part that talks to Spotify a valid access token.
class SpotifyAuth : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool loggedIn READ isLoggedIn NOTIFY tokensChanged)
    Q_PROPERTY(bool loginPending READ isLoginPending NOTIFY loginPendingChanged)
    Q_PROPERTY(bool restoring READ isRestoring NOTIFY restoringChanged)

public:
    SpotifyAuth(SpotifyConfig config, QNetworkAccessManager *network, Clock &clock, TokenStore &store,
                AuthorizationOpener &opener, QObject *parent = nullptr);
    ~SpotifyAuth() override;

    // Publishes the tokens the store holds, unless a login or logout came first.
    QCoro::Task<> restoreTokens();
    // Whether the store is being read: until then, no tokens need not mean logged out.
    bool isRestoring() const { return m_restoring > 0; }

    const std::optional<Tokens> &tokens() const { return m_tokens; }
    bool isLoggedIn() const { return m_tokens.has_value(); }
    bool isLoginPending() const { return m_pendingLogin != nullptr; }

    // Shows the authorisation page and waits for its redirect. Fails with AuthError,
    // LoginCancelled (cancelled or replaced by a newer login), NetworkError or DecodeError.
    QCoro::Task<> login();
    // Ends a pending login with LoginCancelled.
    void cancelLogin();

    // A valid access token; with `force`, a freshly refreshed one. Every caller that needs a
    // refresh while one runs shares it.
    QCoro::Task<QString> accessToken(bool force);

    void logOut();

    // The authorisation page for a challenge: the six query items of the flow, in order,
    // then the login's `state`, which the redirect must bring back (RFC 6749, 10.12).
    static QUrl authorizationUrl(const SpotifyConfig &config, const QString &codeChallenge, const QString &state);

    void setLimits(HttpLimits limits) { m_limits = limits; }

public Q_SLOTS:
    // Takes the redirect of a pending login: only "cobbleden://callback" with the login's
    // own `state`, and only the first one; anything else, or anything while no login waits,
    // is ignored and the login stays pending. Returns whether it was taken.
    bool deliverCallback(const QUrl &callbackUrl);

Q_SIGNALS:
    void tokensChanged();
    void loginPendingChanged();
    void restoringChanged();

private:
    class PendingLogin;
    class Refresh;
    using Form = QList<QPair<QString, QString>>;

    void setTokens(std::optional<Tokens> tokens);
    void storeTokens(const Tokens &tokens);
    void finishPendingLogin(const std::shared_ptr<PendingLogin> &pending, std::optional<LoginRedirect> redirect);
    QCoro::Task<Tokens> tokenRequest(Form form);
    QCoro::Task<> checkAccount(QString accessToken);
    QCoro::Task<> runRefresh(std::shared_ptr<Refresh> refresh, QString refreshToken);

    SpotifyConfig m_config;
    QPointer<QNetworkAccessManager> m_network;
    Clock &m_clock;
    TokenStore &m_store;
    AuthorizationOpener &m_opener;
    HttpLimits m_limits;

    std::optional<Tokens> m_tokens;
    int m_restoring = 0;
    quint64 m_tokensGeneration = 0;
    std::shared_ptr<PendingLogin> m_pendingLogin;
    std::shared_ptr<Refresh> m_refresh;
};

} // namespace velloran
