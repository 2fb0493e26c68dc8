// The Web API resources of the catalogue: the profile, saved albums, playlists, one album
// and its tracks, and playlist items in both of the service's forms.

#include "standin/StandinRoutes.h"
#include "standin/StandinServer.h"

#include <variant>

using namespace Qt::StringLiterals;

namespace velloran::standin {

namespace {

constexpr int defaultLimit = 20;
constexpr int maxLimit = 50;

struct Window {
    int offset = 0;
    int limit = defaultLimit;
};

// The limit and offset of a paged request, or an error reply as the service gives it.
std::variant<Window, Reply> windowOf(const Request &request)
{
    Window window;
    bool ok = true;
    if (request.query.hasQueryItem(u"limit"_s)) {
        window.limit = request.query.queryItemValue(u"limit"_s).toInt(&ok);
        if (!ok || window.limit < 1 || window.limit > maxLimit)
            return Reply::apiError(400, u"Invalid limit"_s);
    }
    if (request.query.hasQueryItem(u"offset"_s)) {
        window.offset = request.query.queryItemValue(u"offset"_s).toInt(&ok);
        if (!ok || window.offset < 0)
            return Reply::apiError(400, u"Invalid offset"_s);
    }
    return window;
}

class WebApi {
public:
    explicit WebApi(StandinServer &server) : m_server(server) {}

    QJsonValue absoluteImages(const QJsonValue &images) const
    {
        if (!images.isArray())
            return images;
        QJsonArray result;
        for (const QJsonValue &image : images.toArray()) {
            QJsonObject object = image.toObject();
            const QString url = object.value("url"_L1).toString();
            if (url.startsWith(u'/'))
                object.insert(u"url"_s, QString::fromUtf8(m_server.urlFor(url).toEncoded()));
            result.append(object);
        }
        return result;
    }

    // One page of `all`, with absolute `next` and `previous` links as the service writes them.
    QJsonObject page(const QString &path, const QJsonArray &all, const Window &window) const
    {
        return page(path, all.size(), window, [&all](qsizetype i) { return all.at(i); });
    }

    // One page of a list of `total` elements, building only the elements it shows.
    template<typename At>
    QJsonObject page(const QString &path, qsizetype total, const Window &window, At at) const
    {
        QJsonArray items;
        for (qsizetype i = window.offset; i < total && i < qsizetype(window.offset) + window.limit; ++i)
            items.append(at(i));
        const auto link = [&](qsizetype offset) {
            QUrlQuery query;
            query.addQueryItem(u"offset"_s, QString::number(offset));
            query.addQueryItem(u"limit"_s, QString::number(window.limit));
            return QJsonValue(QString::fromUtf8(m_server.urlFor(path, query).toEncoded()));
        };
        const qsizetype nextOffset = qsizetype(window.offset) + window.limit;
        QUrlQuery self;
        self.addQueryItem(u"offset"_s, QString::number(window.offset));
        self.addQueryItem(u"limit"_s, QString::number(window.limit));
        return {{u"href"_s, QString::fromUtf8(m_server.urlFor(path, self).toEncoded())},
                {u"items"_s, items},
                {u"limit"_s, window.limit},
                {u"offset"_s, window.offset},
                {u"total"_s, total},
                {u"next"_s, nextOffset < total ? link(nextOffset) : QJsonValue(QJsonValue::Null)},
                {u"previous"_s, window.offset > 0 ? link(std::max<qsizetype>(0, window.offset - window.limit))
                                                  : QJsonValue(QJsonValue::Null)}};
    }

    QJsonObject albumObject(const QJsonObject &stored) const
    {
        QJsonObject album = stored;
        album.remove("added_at"_L1);
        album.insert(u"images"_s, absoluteImages(stored.value("images"_L1)));
        album.insert(u"tracks"_s, page(u"/v1/albums/"_s + stored.value("id"_L1).toString() + u"/tracks"_s,
                                       stored.value("tracks"_L1).toArray(), {0, maxLimit}));
        return album;
    }

    QJsonObject playlistObject(const Catalogue::Playlist &entry) const
    {
        QJsonObject playlist = entry.playlist;
        const QString id = playlist.value("id"_L1).toString();
        playlist.insert(u"images"_s, absoluteImages(playlist.value("images"_L1)));
        playlist.insert(u"tracks"_s, QJsonObject{{u"href"_s, QString::fromUtf8(m_server.urlFor(u"/v1/playlists/"_s + id + u"/tracks"_s).toEncoded())},
                                                 {u"total"_s, entry.items.size()}});
        return playlist;
    }

    Reply me() const
    {
        const Accounts &accounts = m_server.accounts();
        if (!accounts.onAllowList)
            return Reply::apiError(403, u"Check settings on developer.spotify.com/dashboard, the user may not be registered."_s);
        QJsonObject profile{{u"id"_s, u"listener"_s}, {u"display_name"_s, u"Listener"_s}, {u"email"_s, u"listener@example.org"_s},
                            {u"type"_s, u"user"_s}};
        if (accounts.product)
            profile.insert(u"product"_s, *accounts.product);
        return Reply::json(profile);
    }

    Reply savedAlbums(const Request &request, const Window &window) const
    {
        const auto &albums = m_server.catalogue().albums;
        return Reply::json(page(request.path, albums.size(), window, [&](qsizetype i) {
            return QJsonObject{{u"added_at"_s, albums[i].value("added_at"_L1)}, {u"album"_s, albumObject(albums[i])}};
        }));
    }

    Reply playlists(const Request &request, const Window &window) const
    {
        const auto &playlists = m_server.catalogue().playlists;
        return Reply::json(page(request.path, playlists.size(), window, [&](qsizetype i) { return playlistObject(playlists[i]); }));
    }

    Reply album(const Request &request) const
    {
        const QJsonObject *album = m_server.catalogue().album(request.captures.value(0));
        if (!album)
            return Reply::apiError(404, u"Non existing id"_s);
        return Reply::json(albumObject(*album));
    }

    Reply albumTracks(const Request &request, const Window &window) const
    {
        const QJsonObject *album = m_server.catalogue().album(request.captures.value(0));
        if (!album)
            return Reply::apiError(404, u"Non existing id"_s);
        return Reply::json(page(request.path, album->value("tracks"_L1).toArray(), window));
    }

    // The newer "items" resource holds each track under "item", the older "tracks" one under "track".
    Reply playlistItems(const Request &request, const Window &window, bool itemsResource) const
    {
        const Catalogue::Playlist *entry = m_server.catalogue().playlist(request.captures.value(0));
        if (!entry || (itemsResource && !entry->itemsResource))
            return Reply::apiError(404, u"Resource not found"_s);
        if (!entry->readable)
            return Reply::apiError(403, u"Forbidden"_s);
        const QJsonArray &all = entry->items;
        return Reply::json(page(request.path, all.size(), window, [&](qsizetype i) -> QJsonValue {
            const QJsonValue value = all.at(i);
            if (!itemsResource || !value.isObject())
                return value;
            QJsonObject item = value.toObject();
            if (item.contains("track"_L1))
                item.insert(u"item"_s, item.take("track"_L1));
            return item;
        }));
    }

private:
    StandinServer &m_server;
};

// Wraps a handler with the bearer check and, for paged resources, the window parsing.
template<typename Handler>
StandinServer::Handler signedIn(StandinServer &server, Handler handler)
{
    return [&server, handler = std::move(handler)](const Request &request) -> Reply {
        if (auto refusal = server.accounts().checkBearer(request))
            return *refusal;
        return handler(request);
    };
}

template<typename Handler>
StandinServer::Handler paged(StandinServer &server, Handler handler)
{
    return signedIn(server, [handler = std::move(handler)](const Request &request) -> Reply {
        auto window = windowOf(request);
        if (auto *refusal = std::get_if<Reply>(&window))
            return *refusal;
        return handler(request, std::get<Window>(window));
    });
}

} // namespace

void registerWebApiRoutes(StandinServer &server)
{
    auto api = std::make_shared<const WebApi>(server);
    server.addRoute("GET", u"/v1/me"_s, signedIn(server, [api](const Request &) { return api->me(); }));
    server.addRoute("GET", u"/v1/me/albums"_s, paged(server, [api](const Request &r, const Window &w) { return api->savedAlbums(r, w); }));
    server.addRoute("GET", u"/v1/me/playlists"_s, paged(server, [api](const Request &r, const Window &w) { return api->playlists(r, w); }));
    server.addRoute("GET", u"/v1/albums/{}"_s, signedIn(server, [api](const Request &r) { return api->album(r); }));
    server.addRoute("GET", u"/v1/albums/{}/tracks"_s,
                    paged(server, [api](const Request &r, const Window &w) { return api->albumTracks(r, w); }));
    server.addRoute("GET", u"/v1/playlists/{}/items"_s,
                    paged(server, [api](const Request &r, const Window &w) { return api->playlistItems(r, w, true); }));
    server.addRoute("GET", u"/v1/playlists/{}/tracks"_s,
                    paged(server, [api](const Request &r, const Window &w) { return api->playlistItems(r, w, false); }));
}

} // namespace velloran::standin
