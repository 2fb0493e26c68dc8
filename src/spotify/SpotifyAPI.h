#pragma once

#include "core/Clock.h"
#include "core/Json.h"
#include "spotify/APIError.h"
#include "spotify/CatalogueTypes.h"
#include "spotify/HttpExchange.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace velloran {

// One request to the Web API before it is signed.
struct ApiRequest {
    QByteArray method = "GET";
    QUrl url;
    QByteArray body;
    QByteArray contentType;   // empty: no Content-Type header
};

// The program's only door to the Web API: signs every request, retries once after a
// refused token and once after rate limiting, follows paging links and decodes the
// answers into the catalogue records. It holds no mutable state, so every operation keeps
// what it needs alive by itself and the client may go away while operations run.
class SpotifyAPI {
public:
    // Yields an access token; `force` asks for a freshly refreshed one.
    using TokenFunction = std::function<QCoro::Task<QString>(bool force)>;

    SpotifyAPI(TokenFunction token, QUrl base, QNetworkAccessManager *network, Clock &clock, HttpLimits limits = {});

    const QUrl &base() const { return m_state->base; }

    // The answer's body for a 2xx status. After a 401 it asks once for a forced token and
    // tries again; after a 429 it waits once (Retry-After, at most 30 s) and tries again.
    QCoro::Task<QByteArray> send(ApiRequest request, bool retried = false, bool force = false) const;

    template<typename T>
    QCoro::Task<T> get(QUrl url) const
    {
        const auto state = m_state;
        auto answer = sendWith(state, ApiRequest{"GET", std::move(url), {}, {}}, false, false);
        const QByteArray data = co_await std::move(answer);
        co_return T::fromJson(parseJson(data));
    }

    // Every element of every page of a paged resource (a path relative to the base), in order.
    template<typename Element>
    QCoro::Task<QList<Element>> allPages(QString path) const
    {
        const auto state = m_state;
        QList<Element> elements;
        std::optional<QUrl> url = state->resolve(path);
        QSet<QUrl> visited;
        while (url) {
            visited.insert(*url);
            auto answer = sendWith(state, ApiRequest{"GET", *url, {}, {}}, false, false);
            const QByteArray data = co_await std::move(answer);
            auto page = SpotifyPage<Element>::fromJson(parseJson(data));
            elements.append(std::move(page.items));
            url = state->nextPage(page.next, visited);
        }
        co_return elements;
    }

    QCoro::Task<QList<SpotifySavedAlbum>> savedAlbums() const { return allPages<SpotifySavedAlbum>(QStringLiteral("me/albums?limit=50")); }
    QCoro::Task<QList<SpotifyPlaylist>> playlists() const { return allPages<SpotifyPlaylist>(QStringLiteral("me/playlists?limit=50")); }
    QCoro::Task<SpotifyAlbum> album(QString id) const;
    // All tracks of an album: the first page it carries (or fetches), then the rest.
    QCoro::Task<QList<SpotifyTrack>> albumTracks(SpotifyAlbum album) const;
    // All tracks of a playlist, from the items resource or, where that is missing, the
    // older tracks resource. Items without a track are left out.
    QCoro::Task<QList<SpotifyTrack>> playlistTracks(QString playlistId) const;

    // A command whose answer is not read: `path` is relative to the base, the query goes
    // out sorted by key, the body as compact JSON.
    QCoro::Task<> request(QByteArray method, QString path, QMap<QString, QString> query = {},
                          std::optional<QJsonObject> body = std::nullopt) const;
    QCoro::Task<> setRepeat(QString state, QString deviceId) const;

private:
    struct State {
        TokenFunction token;
        QUrl base;
        QPointer<QNetworkAccessManager> network;
        Clock &clock;
        HttpLimits limits;

        std::optional<QUrl> resolve(const QString &path) const;
        // The next page to fetch: only a valid URL on the service itself that was not
        // fetched before (a token must not go elsewhere, and paging must end).
        std::optional<QUrl> nextPage(const std::optional<QString> &next, const QSet<QUrl> &visited) const;
    };

    static QCoro::Task<QByteArray> sendWith(std::shared_ptr<const State> state, ApiRequest request, bool retried, bool force);

    std::shared_ptr<const State> m_state;
};

} // namespace velloran
