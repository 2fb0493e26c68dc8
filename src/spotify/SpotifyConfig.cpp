#include "spotify/SpotifyConfig.h"

#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

QUrl withPath(QUrl base, const QString &path)
{
    QString basePath = base.path();
    while (basePath.endsWith(u'/'))
        basePath.chop(1);
    base.setPath(basePath + path);
    return base;
}

QUrl apiBaseFrom(QUrl url)
{
    // The client resolves relative paths against this URL, so it must end in a slash.
    if (!url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

QUrl urlFromEnvironment(const char *name, const QUrl &fallback)
{
    const QString text = qEnvironmentVariable(name).trimmed();
    if (text.isEmpty())
        return fallback;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != "https"_L1 && url.scheme() != "http"_L1) || url.host().isEmpty())
        return fallback;
    return url;
}

} // namespace

QString SpotifyConfig::builtInClientId()
{
    return u"5f0c2a9e7b3d41c8a6e2d9f04b7c1e38"_s;
}

QString SpotifyConfig::redirectUri()
{
    return u"cobbleden://callback"_s;
}

QString SpotifyConfig::callbackScheme()
{
    return u"cobbleden"_s;
}

QStringList SpotifyConfig::scopes()
{
    return {u"streaming"_s,
            u"user-read-email"_s,
            u"user-read-private"_s,
            u"user-read-playback-state"_s,
            u"user-modify-playback-state"_s,
            u"user-library-read"_s,
            u"playlist-read-private"_s,
            u"playlist-read-collaborative"_s};
}

SpotifyConfig SpotifyConfig::defaults()
{
    return {QUrl(u"https://accounts.spotify.com"_s), QUrl(u"https://api.spotify.com/v1/"_s), builtInClientId()};
}

SpotifyConfig SpotifyConfig::fromEnvironment()
{
    SpotifyConfig config = defaults();
    config.accountsBase = urlFromEnvironment("VELLORAN_ACCOUNTS_URL", config.accountsBase);
    config.apiBase = apiBaseFrom(urlFromEnvironment("VELLORAN_API_URL", config.apiBase));
    const QString clientId = qEnvironmentVariable("VELLORAN_CLIENT_ID").trimmed();
    if (!clientId.isEmpty())
        config.clientId = clientId;
    return config;
}

SpotifyConfig SpotifyConfig::forServer(const QUrl &base, QString clientId)
{
    return {base, apiBaseFrom(withPath(base, u"/v1/"_s)), std::move(clientId)};
}

QUrl SpotifyConfig::authorizeUrl() const
{
    return withPath(accountsBase, u"/authorize"_s);
}

QUrl SpotifyConfig::tokenUrl() const
{
    return withPath(accountsBase, u"/api/token"_s);
}

QUrl SpotifyConfig::profileUrl() const
{
    return apiBase.resolved(QUrl(u"me"_s));
}

} // namespace velloran
