#include "standin/StandinAccounts.h"

#include "spotify/Pkce.h"
#include "spotify/SpotifyConfig.h"
#include "standin/StandinRoutes.h"
#include "standin/StandinServer.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <array>

using namespace Qt::StringLiterals;

namespace velloran::standin {

namespace {

QString formValue(const QUrlQuery &form, const QString &key)
{
    return form.queryItemValue(key, QUrl::FullyDecoded);
}

} // namespace

Accounts::Accounts(Clock &clock)
    : clientId(SpotifyConfig::builtInClientId())
    , redirectUri(SpotifyConfig::redirectUri())
    , m_clock(clock)
{
}

QString Accounts::randomToken(int bytes)
{
    QByteArray data(bytes, Qt::Uninitialized);
    for (char &c : data)
        c = char(QRandomGenerator::system()->bounded(256));
    return QString::fromLatin1(data.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

void Accounts::resetBehaviour()
{
    clientId = SpotifyConfig::builtInClientId();
    redirectUri = SpotifyConfig::redirectUri();
    expiresIn = 3600;
    rotateRefreshTokens = true;
    denyAuthorization = false;
    product = u"premium"_s;
    onAllowList = true;
}

void Accounts::expireAccessTokens()
{
    const Instant now = m_clock.now();
    for (auto it = m_accessTokens.begin(); it != m_accessTokens.end(); ++it)
        it.value() = now;
}

void Accounts::revokeRefreshTokens()
{
    m_refreshTokens.clear();
}

Accounts::Issued Accounts::issueTokens()
{
    Issued issued{randomToken(32), randomToken(32), expiresIn};
    m_accessTokens.insert(issued.access, addSeconds(m_clock.now(), expiresIn));
    m_refreshTokens.insert(issued.refresh);
    return issued;
}

std::optional<Reply> Accounts::checkBearer(const Request &request) const
{
    const QString token = request.bearerToken();
    const auto it = m_accessTokens.constFind(token);
    if (token.isEmpty() || it == m_accessTokens.constEnd())
        return Reply::apiError(401, u"Invalid access token"_s);
    if (m_clock.now() >= it.value())
        return Reply::apiError(401, u"The access token expired"_s);
    return std::nullopt;
}

Reply Accounts::authorize(const Request &request)
{
    const QUrlQuery &query = request.query;
    const auto item = [&](const char *key) { return query.queryItemValue(QString::fromLatin1(key), QUrl::FullyDecoded); };
    if (item("client_id") != clientId)
        return Reply::text(400, u"INVALID_CLIENT: Invalid client"_s);
    if (item("redirect_uri") != redirectUri)
        return Reply::text(400, u"INVALID_CLIENT: Invalid redirect URI"_s);
    if (item("response_type") != "code"_L1)
        return Reply::text(400, u"unsupported_response_type"_s);
    const QString challenge = item("code_challenge");
    if (item("code_challenge_method") != "S256"_L1 || challenge.size() != 43)
        return Reply::text(400, u"invalid_request: code_challenge"_s);

    QUrl target(redirectUri);
    QUrlQuery answer;
    if (denyAuthorization) {
        answer.addQueryItem(u"error"_s, u"access_denied"_s);
    } else {
        const QString code = randomToken(24);
        m_codes.insert(code, {challenge, redirectUri, clientId});
        answer.addQueryItem(u"code"_s, code);
    }
    // The state comes back unchanged, on a refusal as on a code.
    if (query.hasQueryItem(u"state"_s))
        answer.addQueryItem(u"state"_s, query.queryItemValue(u"state"_s, QUrl::FullyEncoded));
    target.setQuery(answer);
    return Reply::redirect(target);
}

Reply Accounts::token(const Request &request)
{
    ++m_tokenRequests;
    if (!request.header("Content-Type").startsWith("application/x-www-form-urlencoded"))
        return Reply::oauthError(400, u"invalid_request"_s, u"Expected a form body"_s);
    const QUrlQuery form = request.form();
    const QString grant = formValue(form, u"grant_type"_s);
    if (formValue(form, u"client_id"_s) != clientId)
        return Reply::oauthError(400, u"invalid_client"_s, u"Invalid client"_s);
    if (grant == "authorization_code"_L1)
        return exchangeCode(form);
    if (grant == "refresh_token"_L1)
        return refresh(form);
    return Reply::oauthError(400, u"unsupported_grant_type"_s, u"grant_type must be authorization_code or refresh_token"_s);
}

Reply Accounts::exchangeCode(const QUrlQuery &form)
{
    // A code works once, whether or not the exchange succeeds.
    const auto pending = m_codes.take(formValue(form, u"code"_s));
    if (pending.challenge.isEmpty())
        return Reply::oauthError(400, u"invalid_grant"_s, u"Invalid authorization code"_s);
    if (formValue(form, u"redirect_uri"_s) != pending.redirectUri)
        return Reply::oauthError(400, u"invalid_grant"_s, u"Invalid redirect URI"_s);
    if (Pkce::challengeFor(formValue(form, u"code_verifier"_s)) != pending.challenge)
        return Reply::oauthError(400, u"invalid_grant"_s, u"code_verifier was incorrect"_s);
    return tokenReply(issueTokens(), true);
}

Reply Accounts::refresh(const QUrlQuery &form)
{
    const QString presented = formValue(form, u"refresh_token"_s);
    if (!m_refreshTokens.contains(presented))
        return Reply::oauthError(400, u"invalid_grant"_s, u"Refresh token revoked"_s);
    Issued issued = issueTokens();
    if (rotateRefreshTokens) {
        m_refreshTokens.remove(presented);
    } else {
        m_refreshTokens.remove(issued.refresh);
        issued.refresh = presented;
    }
    return tokenReply(issued, rotateRefreshTokens);
}

Reply Accounts::tokenReply(const Issued &issued, bool withRefresh) const
{
    QJsonObject body{{u"access_token"_s, issued.access},
                     {u"token_type"_s, u"Bearer"_s},
                     {u"expires_in"_s, issued.expiresIn},
                     {u"scope"_s, SpotifyConfig::scopes().join(u' ')}};
    if (withRefresh)
        body.insert(u"refresh_token"_s, issued.refresh);
    return Reply::json(body);
}

void registerAccountRoutes(StandinServer &server)
{
    Accounts &accounts = server.accounts();
    server.addRoute("GET", u"/authorize"_s, [&accounts](const Request &request) { return accounts.authorize(request); });
    server.addRoute("POST", u"/api/token"_s, [&accounts](const Request &request) { return accounts.token(request); });
}

} // namespace velloran::standin
