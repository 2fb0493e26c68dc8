#pragma once

#include "spotify/HttpExchange.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;

namespace velloran {

// Shows the authorisation page to the user. The redirect back to the program arrives on
// its own path (SpotifyAuth::deliverCallback), not through the opener.
class AuthorizationOpener {
public:
    virtual ~AuthorizationOpener() = default;
    // False when the page could not be shown at all.
    virtual bool open(const QUrl &authorizationUrl) = 0;
};

// The user's web browser. The redirect comes back through the desktop's handler for the
// callback scheme, which this registers first when the program runs from its build folder.
class BrowserOpener final : public AuthorizationOpener {
public:
    bool open(const QUrl &authorizationUrl) override;
};

// Follows the authorisation page itself, without a browser, and reports the redirect it
// answers with: for tests and the demo, where the accounts service grants at once.
// Connect `redirected` to SpotifyAuth::deliverCallback and `failed` to cancelLogin, so
// that a page that does not redirect ends the login instead of leaving it waiting.
class DirectAuthorizationOpener final : public QObject, public AuthorizationOpener {
    Q_OBJECT

public:
    explicit DirectAuthorizationOpener(QNetworkAccessManager *network, QObject *parent = nullptr);

    bool open(const QUrl &authorizationUrl) override;

Q_SIGNALS:
    void redirected(const QUrl &callbackUrl);
    void failed(const QString &message);

private:
    QCoro::Task<> follow(QUrl url);

    QPointer<QNetworkAccessManager> m_network;
};

} // namespace velloran
