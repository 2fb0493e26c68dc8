#include "StandinFixture.h"

#include "core/Clock.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace velloran::test {

QString fixtureTrackURI(int n)
{
    return u"spotify:track:fixture"_s + QString::number(n);
}

standin::Catalogue fixtureCatalogue()
{
    QJsonArray tracks;
    for (int n = 0; n < 10; ++n) {
        for (const auto &[prefix, duration] : {std::pair{u"fixture"_s, 2000}, std::pair{u"long"_s, 60000}}) {
            const QString id = prefix + QString::number(n);
            tracks.append(QJsonObject{{u"id"_s, id},
                                      {u"uri"_s, QString(u"spotify:track:"_s + id)},
                                      {u"name"_s, QString(u"Track "_s + id)},
                                      {u"duration_ms"_s, duration},
                                      {u"artists"_s, QJsonArray{QJsonObject{{u"name"_s, u"The Fixtures"_s}}}},
                                      {u"track_number"_s, n + 1},
                                      {u"type"_s, u"track"_s}});
        }
    }
    standin::Catalogue catalogue;
    catalogue.albums.append(QJsonObject{{u"id"_s, u"fixturealbum"_s},
                                        {u"uri"_s, u"spotify:album:fixturealbum"_s},
                                        {u"name"_s, u"Short Pieces"_s},
                                        {u"album_type"_s, u"album"_s},
                                        {u"artists"_s, QJsonArray{QJsonObject{{u"name"_s, u"The Fixtures"_s}}}},
                                        {u"images"_s, QJsonArray{}},
                                        {u"release_date"_s, u"2001-01-01"_s},
                                        {u"total_tracks"_s, tracks.size()},
                                        {u"added_at"_s, u"2024-01-01T12:00:00Z"_s},
                                        {u"tracks"_s, tracks}});
    catalogue.reindex();
    return catalogue;
}

StandinFixture::StandinFixture()
    : m_server(std::make_unique<standin::StandinServer>(fixtureCatalogue()))
{
    (void)m_server->listenOnLoopback();
    m_token = m_server->accounts().issueTokens().access;
    m_api = std::make_unique<SpotifyAPI>(
        [this](bool) -> QCoro::Task<QString> { co_return QString(m_token); },
        QUrl(m_server->baseUrl().toString() + u"/v1/"_s), &m_network, SystemClock::shared());
}

StandinFixture::~StandinFixture() = default;

int StandinFixture::requests(const QString &path) const
{
    return m_server->faults().count(path);
}

QStringList StandinFixture::commandPaths() const
{
    QStringList paths;
    for (const auto &request : m_server->requestLog()) {
        if (request.path.startsWith("/v1/me/player/"_L1))
            paths.append(request.path.mid(4));
    }
    return paths;
}

WebPlaybackEngine::Services StandinFixture::services()
{
    WebPlaybackEngine::Services services;
    services.accessToken = [this](bool force) -> QCoro::Task<QString> {
        ++tokenRequests;
        if (force)
            ++forcedTokenRequests;
        co_return pageToken.value_or(m_token);
    };
    services.request = [this](QByteArray method, QString path, QMap<QString, QString> query,
                              std::optional<QJsonObject> body) {
        return m_api->request(std::move(method), std::move(path), std::move(query), std::move(body));
    };
    services.isNotFound = WebPlaybackEngine::isNotFoundAnswer;
    return services;
}

} // namespace velloran::test
