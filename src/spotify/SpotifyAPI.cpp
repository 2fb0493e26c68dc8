#include "spotify/SpotifyAPI.h"

#include "spotify/RetryAfter.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>

#include <cmath>

using namespace Qt::StringLiterals;

namespace velloran {

namespace {

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    return a.scheme() == b.scheme() && a.host() == b.host() && a.port(-1) == b.port(-1);
}

QString pathSegment(const QString &id)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(id));
}

} // namespace

SpotifyAPI::SpotifyAPI(TokenFunction token, QUrl base, QNetworkAccessManager *network, Clock &clock, HttpLimits limits)
    : m_state(std::make_shared<const State>(State{std::move(token), std::move(base), network, clock, limits}))
{
}

std::optional<QUrl> SpotifyAPI::State::resolve(const QString &path) const
{
    const QUrl relative(path, QUrl::StrictMode);
    if (!relative.isValid() || !relative.isRelative())
        return std::nullopt;
    const QUrl url = base.resolved(relative);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

std::optional<QUrl> SpotifyAPI::State::nextPage(const std::optional<QString> &next, const QSet<QUrl> &visited) const
{
    if (!next)
        return std::nullopt;
    const QUrl url(*next, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative() || !sameOrigin(url, base) || visited.contains(url))
        return std::nullopt;
    return url;
}

QCoro::Task<QByteArray> SpotifyAPI::send(ApiRequest request, bool retried, bool force) const
{
    return sendWith(m_state, std::move(request), retried, force);
}

QCoro::Task<QByteArray> SpotifyAPI::sendWith(std::shared_ptr<const State> state, ApiRequest request, bool retried,
                                             bool force)
{
    for (;;) {
        const QString token = co_await state->token(force);
        QNetworkRequest networkRequest(request.url);
        networkRequest.setRawHeader("Authorization", "Bearer " + token.toUtf8());
        if (!request.contentType.isEmpty())
            networkRequest.setRawHeader("Content-Type", request.contentType);
        auto answer = exchange(state->network, networkRequest, request.method, request.body, state->limits);
        const HttpResponse response = co_await std::move(answer);

        if (!response.isHttp)
            throw APIError::http(0, response.body);
        if (response.status == 401 && !force) {
            force = true;
            continue;
        }
        if (response.status == 429 && !retried) {
            retried = true;
            co_await state->clock.sleepSeconds(retryAfterSeconds(response.header("Retry-After")));
            continue;
        }
        if (response.status >= 200 && response.status < 300)
            co_return response.body;
        throw APIError::http(response.status, response.body);
    }
}

QCoro::Task<SpotifyAlbum> SpotifyAPI::album(QString id) const
{
    const auto state = m_state;
    const std::optional<QUrl> url = state->resolve(u"albums/"_s + pathSegment(id));
    if (!url)
        throw APIError::http(404, {});
    auto answer = sendWith(state, ApiRequest{"GET", *url, {}, {}}, false, false);
    const QByteArray data = co_await std::move(answer);
    co_return SpotifyAlbum::fromJson(parseJson(data));
}

QCoro::Task<QList<SpotifyTrack>> SpotifyAPI::albumTracks(SpotifyAlbum album) const
{
    const SpotifyAPI self = *this;
    if (!album.tracks) {
        auto full = self.album(album.id);
        album = co_await std::move(full);
    }
    if (!album.tracks)
        co_return QList<SpotifyTrack>{};

    QList<SpotifyTrack> tracks = album.tracks->items;
    QSet<QUrl> visited;
    std::optional<QUrl> url = self.m_state->nextPage(album.tracks->next, visited);
    while (url) {
        visited.insert(*url);
        auto answer = sendWith(self.m_state, ApiRequest{"GET", *url, {}, {}}, false, false);
        const QByteArray data = co_await std::move(answer);
        auto page = SpotifyPage<SpotifyTrack>::fromJson(parseJson(data));
        tracks.append(std::move(page.items));
        url = self.m_state->nextPage(page.next, visited);
    }
    co_return tracks;
}

QCoro::Task<QList<SpotifyTrack>> SpotifyAPI::playlistTracks(QString playlistId) const
{
    const SpotifyAPI self = *this;
    const QString playlist = u"playlists/"_s + pathSegment(playlistId);

    QList<SpotifyPlaylistItem> items;
    bool useFallback = false;
    try {
        auto pages = self.allPages<SpotifyPlaylistItem>(playlist + u"/items?limit=50"_s);
        items = co_await std::move(pages);
    } catch (const APIError &error) {
        if (error.kind() != APIError::Kind::http)
            throw;
        if (error.status() == 403)
            throw APIError::playlistNotReadable();
        if (error.status() != 404)
            throw;
        useFallback = true;
    }
    if (useFallback) {
        auto pages = self.allPages<SpotifyPlaylistItem>(playlist + u"/tracks?limit=50"_s);
        items = co_await std::move(pages);
    }

    QList<SpotifyTrack> tracks;
    tracks.reserve(items.size());
    for (SpotifyPlaylistItem &item : items) {
        if (item.item)
            tracks.append(std::move(*item.item));
        else if (item.track)
            tracks.append(std::move(*item.track));
    }
    co_return tracks;
}

QCoro::Task<> SpotifyAPI::request(QByteArray method, QString path, QMap<QString, QString> query,
                                  std::optional<QJsonObject> body) const
{
    const auto state = m_state;
    QUrl url = state->base;
    url.setPath(url.path() + path);
    if (!query.isEmpty()) {
        QByteArray encoded;
        for (auto it = query.cbegin(); it != query.cend(); ++it) {   // QMap iterates sorted by key
            if (!encoded.isEmpty())
                encoded += '&';
            encoded += QUrl::toPercentEncoding(it.key(), ":/") + '=' + QUrl::toPercentEncoding(it.value(), ":/");
        }
        url.setQuery(QString::fromLatin1(encoded), QUrl::StrictMode);
    }
    ApiRequest request{std::move(method), url, {}, {}};
    if (body) {
        request.body = QJsonDocument(*body).toJson(QJsonDocument::Compact);
        request.contentType = "application/json";
    }
    auto answer = sendWith(state, std::move(request), false, false);
    co_await std::move(answer);
}

QCoro::Task<> SpotifyAPI::setRepeat(QString state, QString deviceId) const
{
    return request("PUT", u"me/player/repeat"_s, {{u"state"_s, state}, {u"device_id"_s, deviceId}});
}

} // namespace velloran
