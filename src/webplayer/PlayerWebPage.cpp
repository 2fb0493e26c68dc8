#include "webplayer/PlayerWebPage.h"

#include "playback/PlaybackLogging.h"

#include <QRegularExpression>
#include <QWebEngineSettings>

using namespace Qt::StringLiterals;

namespace velloran {
namespace {

bool isLoopback(const QUrl &url)
{
    const QString host = url.host();
    return host == "127.0.0.1"_L1 || host == "localhost"_L1 || host == "[::1]"_L1 || host == "::1"_L1;
}

} // namespace

PlayerWebPage::PlayerWebPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    hardenPlayerSettings(settings());
    connect(this, &QWebEnginePage::featurePermissionRequested, this, [this](const QUrl &origin, Feature feature) {
        setFeaturePermission(origin, feature, PermissionDeniedByUser);
    });
}

bool PlayerWebPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type)
    if (isMainFrame) {
        const bool allowed = m_loadAllowed;
        m_loadAllowed = false;
        if (!allowed)
            qCDebug(lcPlayback) << "refused a navigation of the player page";
        return allowed;
    }
    // The SDK works through frames of its own service; nothing else may be framed.
    const QString scheme = url.scheme();
    return scheme == "https"_L1 || scheme == "about"_L1 || (scheme == "http"_L1 && isLoopback(url));
}

QWebEnginePage *PlayerWebPage::createWindow(WebWindowType type)
{
    Q_UNUSED(type)
    return nullptr;
}

void PlayerWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                             int lineNumber, const QString &sourceID)
{
    Q_UNUSED(level)
    qCDebug(lcPlayback) << "page:" << sourceID << lineNumber << message;
}

void hardenPlayerSettings(QWebEngineSettings *settings)
{
    using S = QWebEngineSettings;
    settings->setAttribute(S::PlaybackRequiresUserGesture, false);
    settings->setAttribute(S::JavascriptEnabled, true);
    settings->setAttribute(S::LocalStorageEnabled, true);
    for (const S::WebAttribute attribute : {S::JavascriptCanOpenWindows, S::JavascriptCanAccessClipboard, S::JavascriptCanPaste,
                                 S::LocalContentCanAccessRemoteUrls, S::LocalContentCanAccessFileUrls,
                                 S::ErrorPageEnabled, S::PluginsEnabled, S::FullScreenSupportEnabled,
                                 S::ScreenCaptureEnabled, S::WebGLEnabled, S::Accelerated2dCanvasEnabled,
                                 S::AutoLoadIconsForPage, S::TouchIconsEnabled, S::FocusOnNavigationEnabled,
                                 S::HyperlinkAuditingEnabled, S::AllowRunningInsecureContent,
                                 S::AllowGeolocationOnInsecureOrigins, S::AllowWindowActivationFromJavaScript,
                                 S::DnsPrefetchEnabled, S::PdfViewerEnabled, S::NavigateOnDropEnabled,
 S::SpatialNavigationEnabled,
                                 S::LinksIncludedInFocusChain})
        settings->setAttribute(attribute, false);
    settings->setUnknownUrlSchemePolicy(S::DisallowUnknownUrlSchemes);
}

QString userAgentWithoutQtToken(const QString &userAgent)
{
    static const QRegularExpression qtToken(u"\\s*QtWebEngine/\\S+"_s);
    return QString(userAgent).remove(qtToken).simplified();
}

} // namespace velloran
