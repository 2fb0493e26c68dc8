// The program's entry: the few things that must happen before the application object exists
// (the web engine's switches, the demo's data folder), the single instance, the migration,
// the fonts, the model and the window.

#include "app/CommandLine.h"
#include "app/DemoEnvironment.h"
#include "app/MainWindow.h"
#include "app/Migration.h"
#include "app/ProgramServices.h"
#include "appmodel/AppModel.h"
#include "webplayer/PlaybackCheck.h"
#include "webplayer/WebEngineSetup.h"

#include <QApplication>
#include <QCoroTask>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace velloran;

namespace {

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// Chromium refuses to run its sandbox as root; a root session (a CI machine, a container)
// gets the web engine without it, and is told so once.
void allowRunningAsRoot()
{
    if (geteuid() != 0)
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    print(stderr, u"velloran: running as root, so the web engine's sandbox is switched off.\n"_s);
}

// Asks the player page's engine what it supports, prints the report, and exits: 0 when
// Spotify can play here.
int runPlaybackCheck(const WebEngineSetup &setup)
{
    int status = 2;
    [](WebEngineSetup how, int &result) -> QCoro::Task<> {
        const std::optional<PlaybackSupport> support = co_await probePlaybackSupport();
        print(stdout, playbackReport(support, how));
        result = support ? (support->canPlaySpotify() ? 0 : 1) : 2;
        QCoreApplication::quit();
    }(setup, status);
    QApplication::exec();
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine line = CommandLine::parse(arguments);
    if (line.error) {
        print(stderr, u"velloran: "_s + *line.error + u"\nTry 'velloran --help'.\n"_s);
        return 2;
    }
    if (line.help) {
        print(stdout, CommandLine::helpText());
        return 0;
    }
    if (line.version) {
        print(stdout, CommandLine::versionText());
        return 0;
    }
    if (line.callbackUrl) {
        // Started by the desktop for the sign-in page's answer: hand it over and leave.
        QCoreApplication app(argc, argv);
        return sendCallback(*line.callbackUrl) ? 0 : 1;
    }

    if (line.demo)
        DemoEnvironment::prepareProcess();
    allowRunningAsRoot();
    const WebEngineSetup webEngine = prepareWebEngine();

    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Velloran"_s);
    QApplication::setOrganizationName(u"Velloran"_s);
    QApplication::setApplicationVersion(QStringLiteral(VELLORAN_VERSION));
    QApplication::setDesktopFileName(u"velloran"_s);

    if (line.checkPlayback)
        return runPlaybackCheck(webEngine);

    ProgramServices services(line.demo);
    if (!services.claimInstance())
        return 0; // the running program came to the front
    if (!services.start()) {
        print(stderr, services.startError() + u'\n');
        return 1;
    }

    services.show();
    return QApplication::exec();
}
