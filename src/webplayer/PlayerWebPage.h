#pragma once

#include <QWebEnginePage>

namespace velloran {

// The page that hosts the player. It runs only the HTML the engine hands it: every other
// top-level navigation and every new window is refused, permission requests are denied
// and console output stays in the program's own (silent) logging category.
class PlayerWebPage : public QWebEnginePage {
    Q_OBJECT

public:
    explicit PlayerWebPage(QWebEngineProfile *profile, QObject *parent = nullptr);

    // Lets exactly one top-level navigation through: the engine's own setHtml.
    void allowNextLoad() { m_loadAllowed = true; }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int lineNumber,
                                  const QString &sourceID) override;

private:
    bool m_loadAllowed = false;
};

// Settings for a page that only plays sound: no windows, files, plugins, WebGL, PDF,
// clipboard, error pages or drops; media starts without a click.
void hardenPlayerSettings(QWebEngineSettings *settings);

// The user agent without the "QtWebEngine/<version>" token, which some services refuse.
QString userAgentWithoutQtToken(const QString &userAgent);

} // namespace velloran
