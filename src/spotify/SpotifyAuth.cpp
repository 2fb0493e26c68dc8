#include "spotify/SpotifyAuth.h"

#include "core/Json.h"
#include "spotify/AuthorizationOpener.h"
#include "spotify/Latch.h"
#include "spotify/LoginRedirect.h"
#include "spotify/Pkce.h"
#include "spotify/TokenStore.h"

#include <QNetworkAccessManager>
#include <QUrlQuery>

#include <exception>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

// A token counts as stale this long before it really expires.
constexpr double expiryMargin = 60;
// Bounds a lifetime from the token endpoint to something an Instant can hold.
constexpr double maxLifetime = 10.0 * 365 * 24 * 3600;

QByteArray formBody(const QList<QPair<QString, QString>> &form)
{
    QByteArray body;
    for (const auto &[key, value] : form) {
        if (!body.isEmpty())
            body += '&';
        body += key.toUtf8() + '=' + QUrl::toPercentEncoding(value);
    }
    return body;
}

} // namespace

class SpotifyAuth::PendingLogin {
public:
    QString state;   // sent with the authorisation request; the redirect must bring it back
    Latch finished;
    std::optional<LoginRedirect> redirect;   // absent when cancelled
};

class SpotifyAuth::Refresh {
public:
    Latch finished;
    std::exception_ptr failure;
};

SpotifyAuth::SpotifyAuth(SpotifyConfig config, QNetworkAccessManager *network, Clock &clock, TokenStore &store,
                         AuthorizationOpener &opener, QObject *parent)
    : QObject(parent)
    , m_config(std::move(config))
    , m_network(network)
    , m_clock(clock)
    , m_store(store)
    , m_opener(opener)
{
}

SpotifyAuth::~SpotifyAuth()
{
    // A login still waiting ends as cancelled rather than waiting for ever.
    if (auto pending = std::exchange(m_pendingLogin, nullptr))
        pending->finished.open();
}

QCoro::Task<> SpotifyAuth::restoreTokens()
{
    QPointer<SpotifyAuth> self(this);
    const quint64 generation = m_tokensGeneration;
    if (++m_restoring == 1)
        Q_EMIT restoringChanged();
    std::optional<QByteArray> data;
    try {
        data = co_await m_store.load();
    } catch (...) {
        // A store that cannot be read holds nothing.
    }
    if (!self)
        co_return;
    if (m_tokensGeneration == generation && data) {
        if (auto tokens = Tokens::fromJson(*data))
            setTokens(std::move(tokens));
    }
    if (--m_restoring == 0)
        Q_EMIT restoringChanged();
}

void SpotifyAuth::setTokens(std::optional<Tokens> tokens)
{
    ++m_tokensGeneration;
    if (m_tokens == tokens)
        return;
    m_tokens = std::move(tokens);
    Q_EMIT tokensChanged();
}

void SpotifyAuth::storeTokens(const Tokens &tokens)
{
    m_store.save(tokens.toJson());
}

QUrl SpotifyAuth::authorizationUrl(const SpotifyConfig &config, const QString &codeChallenge, const QString &state)
{
    QUrlQuery query;
    query.addQueryItem(u"client_id"_s, config.clientId);
    query.addQueryItem(u"response_type"_s, u"code"_s);
    query.addQueryItem(u"redirect_uri"_s, SpotifyConfig::redirectUri());
    query.addQueryItem(u"code_challenge_method"_s, u"S256"_s);
    query.addQueryItem(u"code_challenge"_s, codeChallenge);
    query.addQueryItem(u"scope"_s, SpotifyConfig::scopes().join(u' '));
    query.addQueryItem(u"state"_s, state);
    QUrl url = config.authorizeUrl();
    url.setQuery(query);
    return url;
}

QCoro::Task<> SpotifyAuth::login()
{
    QPointer<SpotifyAuth> self(this);
    const Pkce pkce = Pkce::generate();

    auto pending = std::make_shared<PendingLogin>();
    pending->state = newLoginState();
    if (auto replaced = std::exchange(m_pendingLogin, pending))
        replaced->finished.open();
    Q_EMIT loginPendingChanged();

    if (!m_opener.open(authorizationUrl(m_config, pkce.challenge, pending->state))) {
        finishPendingLogin(pending, std::nullopt);
        throw UserFacingError(u"Velloran couldn't open your web browser to log in to Spotify."_s);
    }

    co_await pending->finished.wait();
    if (!self || !pending->redirect)
        throw LoginCancelled();

    const QString code = pending->redirect->code;
    if (code.isEmpty())
        throw AuthError::noCode();

    Form form;
    form.append({QStringLiteral("grant_type"), QStringLiteral("authorization_code")});
    form.append({QStringLiteral("code"), code});
    form.append({QStringLiteral("redirect_uri"), SpotifyConfig::redirectUri()});
    form.append({QStringLiteral("client_id"), m_config.clientId});
    form.append({QStringLiteral("code_verifier"), pkce.verifier});
    auto exchanged = self->tokenRequest(std::move(form));
    const Tokens tokens = co_await std::move(exchanged);
    if (!self)
        throw LoginCancelled();
    auto checked = self->checkAccount(tokens.access);
    co_await std::move(checked);
    if (!self)
        throw LoginCancelled();
    self->setTokens(tokens);
    self->storeTokens(tokens);
}

void SpotifyAuth::cancelLogin()
{
    if (m_pendingLogin)
        finishPendingLogin(m_pendingLogin, std::nullopt);
}

bool SpotifyAuth::deliverCallback(const QUrl &callbackUrl)
{
    if (!m_pendingLogin)
        return false;
    std::optional<LoginRedirect> redirect = readLoginRedirect(callbackUrl, m_pendingLogin->state);
    if (!redirect)
        return false;
    finishPendingLogin(m_pendingLogin, std::move(redirect));
    return true;
}

void SpotifyAuth::finishPendingLogin(const std::shared_ptr<PendingLogin> &pending, std::optional<LoginRedirect> redirect)
{
    if (m_pendingLogin != pending)
        return;
    // Keep the login alive while its waiter wakes up: `pending` may be the member itself.
    const std::shared_ptr<PendingLogin> keep = pending;
    m_pendingLogin.reset();
    keep->redirect = std::move(redirect);
    Q_EMIT loginPendingChanged();
    keep->finished.open();
}

QCoro::Task<Tokens> SpotifyAuth::tokenRequest(Form form)
{
    QPointer<SpotifyAuth> self(this);
    QNetworkRequest request(m_config.tokenUrl());
    request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/x-www-form-urlencoded"_s);
    const auto field = [&form](QLatin1StringView key) -> std::optional<QString> {
        for (const auto &[name, value] : form) {
            if (name == key)
                return value;
        }
        return std::nullopt;
    };
    const bool isRefresh = field("grant_type"_L1) == u"refresh_token"_s;
    const std::optional<QString> presentedRefresh = field("refresh_token"_L1);

    auto answer = exchange(m_network, request, "POST", formBody(form), m_limits);
    const HttpResponse response = co_await std::move(answer);
    if (!self)
        throw LoginCancelled();

    if (response.isHttp && response.status == 200) {
        const JsonReader body(parseJson(response.body), {});
        Tokens tokens;
        tokens.access = body.string("access_token"_L1);
        tokens.refresh = body.optionalString("refresh_token"_L1);
        if (!tokens.refresh && self->m_tokens)
            tokens.refresh = self->m_tokens->refresh;
        const double lifetime = std::clamp(body.number("expires_in"_L1), 0.0, maxLifetime);
        tokens.expiry = addSeconds(self->m_clock.now(), lifetime);
        co_return tokens;
    }

    if (isRefresh) {
        bool invalidGrant = false;
        try {
            invalidGrant = JsonReader(parseJson(response.body), {}).string("error"_L1) == "invalid_grant"_L1;
        } catch (const DecodeError &) {
        }
        if (invalidGrant) {
            // Only the session that presented the refused token ends; a newer login stays.
            if (self->m_tokens && self->m_tokens->refresh == presentedRefresh)
                self->logOut();
            throw AuthError::sessionExpired();
        }
    }
    throw AuthError::tokenEndpoint(QString::fromUtf8(response.body));
}

QCoro::Task<> SpotifyAuth::checkAccount(QString accessToken)
{
    QNetworkRequest request(m_config.profileUrl());
    request.setRawHeader("Authorization", "Bearer " + accessToken.toUtf8());
    auto answer = exchange(m_network, request, "GET", {}, m_limits);
    const HttpResponse response = co_await std::move(answer);
    if (!response.isHttp)
        co_return;
    if (response.status == 403)
        throw AuthError::notOnTestList();
    if (response.status != 200)
        co_return;
    std::optional<QString> product;
    try {
        product = JsonReader(parseJson(response.body), {}).optionalString("product"_L1);
    } catch (const DecodeError &) {
        co_return;   // an unreadable profile does not keep anyone out
    }
    if (product && *product != "premium"_L1)
        throw AuthError::needsPremium();
}

QCoro::Task<QString> SpotifyAuth::accessToken(bool force)
{
    QPointer<SpotifyAuth> self(this);
    if (!force && m_tokens && m_tokens->expiry > addSeconds(m_clock.now(), expiryMargin))
        co_return QString(m_tokens->access);   // a copy: QCoro moves from an lvalue it is given
    if (!m_tokens || !m_tokens->refresh)
        throw AuthError::notLoggedIn();

    std::shared_ptr<Refresh> refresh = m_refresh;
    if (!refresh) {
        refresh = std::make_shared<Refresh>();
        m_refresh = refresh;
        runRefresh(refresh, *m_tokens->refresh);
    }
    co_await refresh->finished.wait();
    if (refresh->failure)
        std::rethrow_exception(refresh->failure);
    if (!self || !self->m_tokens)
        throw AuthError::notLoggedIn();
    co_return QString(self->m_tokens->access);
}

QCoro::Task<> SpotifyAuth::runRefresh(std::shared_ptr<Refresh> refresh, QString refreshToken)
{
    QPointer<SpotifyAuth> self(this);
    try {
        Form form;
        form.append({QStringLiteral("grant_type"), QStringLiteral("refresh_token")});
        form.append({QStringLiteral("refresh_token"), refreshToken});
        form.append({QStringLiteral("client_id"), m_config.clientId});
        auto exchanged = tokenRequest(std::move(form));
        const Tokens tokens = co_await std::move(exchanged);
        // A logout while the request ran wins: its answer must not log the user back in.
        if (self && self->m_refresh == refresh) {
            self->setTokens(tokens);
            self->storeTokens(tokens);
        }
    } catch (...) {
        refresh->failure = std::current_exception();
    }
    if (self && self->m_refresh == refresh)
        self->m_refresh.reset();
    refresh->finished.open();
}

void SpotifyAuth::logOut()
{
    m_refresh.reset();
    setTokens(std::nullopt);
    m_store.remove();
}

} // namespace velloran
