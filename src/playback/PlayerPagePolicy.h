#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace velloran {

// The SDK script the player page loads unless VELLORAN_SDK_URL names another.
inline constexpr QLatin1StringView defaultSdkUrl{"https://sdk.scdn.co/spotify-player.js"};

// "scheme://host[:port]" of an http(s) URL; empty for anything else.
QString originOf(const QUrl &url);

// What the hidden player page may run and frame. The page is our own HTML plus the SDK
// script, which receives the access token anyway; nothing else may run there. Scripts come
// only from the page itself (its inline scripts, by hash) and from the SDK script's own
// origin; frames only from the SDK's origin, where the SDK keeps the player it drives
// through a frame of its own host.
struct PlayerPagePolicy {
    QString sdkUrl;
    QString sdkOrigin;
    QStringList frameOrigins;

    static PlayerPagePolicy forSdk(const QString &sdkUrl);

    // Whether a frame of the page may load `url`: an allowed origin, or a blank frame the
    // page's own scripts made.
    bool allowsFrame(const QUrl &url) const;

    // The Content-Security-Policy for a page whose inline scripts are `inlineScripts`.
    QString contentSecurityPolicy(const QStringList &inlineScripts) const;
};

// The player page from its template: "@SDK_URL@" becomes the SDK's URL as a string literal,
// then "@CSP@" the policy, with the hashes of the page's inline scripts as they now stand.
QString playerPageHtml(QString templateHtml, const PlayerPagePolicy &policy);

} // namespace velloran
