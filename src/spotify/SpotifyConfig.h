#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace velloran {

// Where the program finds Spotify and who it is there. The hosts are deployment
// configuration: VELLORAN_ACCOUNTS_URL, VELLORAN_API_URL and VELLORAN_CLIENT_ID override
// the defaults, so that tests and the demo can point the program at the loopback stand-in.
struct SpotifyConfig {
    QUrl accountsBase;   // the accounts service, without a trailing path
    QUrl apiBase;        // the Web API, ending in "/v1/"
    QString clientId;

    static QString builtInClientId();
    static QString redirectUri();         // "cobbleden://callback"
    static QString callbackScheme();      // "cobbleden"
    static QStringList scopes();

    static SpotifyConfig defaults();
    // The defaults with the environment's overrides applied.
    static SpotifyConfig fromEnvironment();
    // A configuration whose accounts service and Web API both live at one base URL.
    static SpotifyConfig forServer(const QUrl &base, QString clientId = builtInClientId());

    QUrl authorizeUrl() const;
    QUrl tokenUrl() const;
    QUrl profileUrl() const;
};

} // namespace velloran
