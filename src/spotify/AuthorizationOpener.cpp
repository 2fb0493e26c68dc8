#include "spotify/AuthorizationOpener.h"

#include "spotify/CallbackScheme.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>

using namespace Qt::StringLiterals;

namespace velloran {

bool BrowserOpener::open(const QUrl &authorizationUrl)
{
    registerCallbackSchemeForBuildFolder();
    return QDesktopServices::openUrl(authorizationUrl);
}

DirectAuthorizationOpener::DirectAuthorizationOpener(QNetworkAccessManager *network, QObject *parent)
    : QObject(parent), m_network(network)
{
}

bool DirectAuthorizationOpener::open(const QUrl &authorizationUrl)
{
    if (!m_network)
        return false;
    follow(authorizationUrl);
    return true;
}

QCoro::Task<> DirectAuthorizationOpener::follow(QUrl url)
{
    QPointer<DirectAuthorizationOpener> self(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    try {
        auto answer = exchange(m_network, request, "GET", {}, HttpLimits{});
        const HttpResponse response = co_await std::move(answer);
        if (!self)
            co_return;
        const QUrl location = QUrl::fromEncoded(response.header("Location"), QUrl::StrictMode);
        if (response.status / 100 == 3 && location.isValid())
            Q_EMIT self->redirected(location);
        else
            Q_EMIT self->failed(u"The authorisation page answered "_s + QString::number(response.status) + u" without a redirect."_s);
    } catch (const NetworkError &error) {
        if (self)
            Q_EMIT self->failed(error.message());
    }
}

} // namespace velloran
