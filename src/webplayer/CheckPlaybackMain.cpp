// velloran-check-playback: reports whether the player page's engine can play Spotify here
// (AAC, Media Source Extensions, the Widevine key system) and exits; 0 when it can.

#include "webplayer/PlaybackCheck.h"
#include "webplayer/WebEngineSetup.h"

#include <QGuiApplication>
#include <QCoroTask>

#include <cstdio>

int main(int argc, char **argv)
{
    // The check shows no window, so it needs no display either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const velloran::WebEngineSetup setup = velloran::prepareWebEngine();
    QGuiApplication app(argc, argv);
    int status = 2;
    [](const velloran::WebEngineSetup &how, int &result) -> QCoro::Task<> {
        const auto support = co_await velloran::probePlaybackSupport();
        std::fputs(velloran::playbackReport(support, how).toLocal8Bit().constData(), stdout);
        result = support ? (support->canPlaySpotify() ? 0 : 1) : 2;
        QCoreApplication::quit();
    }(setup, status);
    app.exec();
    return status;
}
