#include "StandinFixture.h"

#include <QCoroNetworkReply>
#include <QJsonDocument>
#include <QNetworkReply>

using namespace Qt::StringLiterals;

namespace velloran::test {

QString fixtureTrackURI(int n)
{
    return u"spotify:track:fixture"_s + QString::number(n);
}

StandinFixture::StandinFixture()
    : m_player(std::make_unique<standin::StandinPlayer>(
          [](const QString &uri) -> std::optional<qint64> {
              // Tracks "fixture0".."fixture9" last two seconds; "long0".."long9" a minute.
              if (uri.startsWith("spotify:track:fixture"_L1))
                  return 2000;
              if (uri.startsWith("spotify:track:long"_L1))
                  return 60000;
              return std::nullopt;
          },
          [this](const QString &presented) { return presented == token; }))
{
    m_player->install(m_server);
    m_port = m_server.listen(QHostAddress::LocalHost, 0);
}

QString StandinFixture::baseUrl() const
{
    return u"http://127.0.0.1:"_s + QString::number(m_port);
}

WebPlaybackEngine::Services StandinFixture::services()
{
    WebPlaybackEngine::Services services;
    services.accessToken = [this](bool force) -> QCoro::Task<QString> {
        ++tokenRequests;
        if (force)
            ++forcedTokenRequests;
        co_return QString(token); // a copy: co_return would move from the member
    };
    services.request = [this](QString method, QString path, QUrlQuery query,
                              std::optional<QJsonObject> body) -> QCoro::Task<> {
        QUrl url(baseUrl() + u"/v1/"_s + path);
        url.setQuery(query);
        QNetworkRequest request(url);
        request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
        QByteArray data;
        if (body) {
            request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/json"_s);
            data = QJsonDocument(*body).toJson(QJsonDocument::Compact);
        }
        std::unique_ptr<QNetworkReply> reply(co_await m_network.sendCustomRequest(request, method.toLatin1(), data));
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status < 200 || status > 299)
            throw HttpFailure(status);
    };
    services.isNotFound = [](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const HttpFailure &http) {
            return http.status == 404;
        } catch (...) {
            return false;
        }
    };
    return services;
}

} // namespace velloran::test
