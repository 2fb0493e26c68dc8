// bench_startup: how long the program takes from its start to the first painted frame of
// the connected window, with a library of 5,000 albums, 1,000 playlists and 2,000 cached
// records on disk. It starts the way the program starts with stored tokens (so the window
// opens connected), against a stand-in that never answers, so the figure is the program's
// own work. It prints one line for each of three runs:
//
//     build/bin/bench_startup
//
// The time is counted from the process's start as the kernel records it, so loading the
// libraries is included.

#include "../collection/CollectionFixture.h"

#include "app/MainWindow.h"
#include "app/ProgramServices.h"
#include "appmodel/AppModel.h"
#include "core/Clock.h"
#include "model/AtomicFile.h"
#include "model/SupportDirectory.h"
#include "paint/FontRegistration.h"
#include "scenes/turntable/TurntableScreen.h"
#include "spotify/AuthorizationOpener.h"
#include "spotify/TokenStore.h"
#include "webplayer/WebEngineSetup.h"

#include <QApplication>
#include <QProcess>
#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace velloran;
using namespace Qt::StringLiterals;

namespace {

// Seconds since this process started, from the kernel's own record.
double processAge()
{
    QFile stat(u"/proc/self/stat"_s);
    QFile uptime(u"/proc/uptime"_s);
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    const double now = uptime.readAll().split(' ').value(0).toDouble();
    return now - startTicks / double(sysconf(_SC_CLK_TCK));
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen && insideScreen(watched)) {
            m_seen = true;
            const double age = processAge();
            QTimer::singleShot(0, [age] {
                std::printf("first connected frame %.0f ms after the process started\n", age * 1000);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    static bool insideScreen(QObject *object)
    {
        for (QObject *o = object; o; o = o->parent())
            if (qobject_cast<TurntableScreen *>(o))
                return true;
        return false;
    }

    bool m_seen = false;
};

class NoBrowser final : public AuthorizationOpener {
public:
    bool open(const QUrl &) override { return false; }
};

} // namespace

// Writes the library into a fresh data folder, then measures a second process that starts
// with it, so that making the fixture is not counted.
int prepareAndMeasure(int argc, char **argv)
{
    QTemporaryDir home;
    {
        QCoreApplication app(argc, argv);
        qputenv("XDG_DATA_HOME", home.filePath(u"data"_s).toUtf8());
        const QByteArray snapshot =
            QJsonDocument(bench::generatedSnapshot().toJson()).toJson(QJsonDocument::Compact);
        writeFileAtomically(supportPath(Library::fileName()), snapshot);
        std::printf("library.json: %.1f MB\n", snapshot.size() / 1e6);
    }
    int status = 0;
    for (int run = 0; run < 3 && status == 0; ++run) {
        QProcess measured;
        measured.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        measured.start(QString::fromLocal8Bit(argv[0]), {u"--measure"_s, home.path()});
        measured.waitForFinished(120'000);
        status = measured.exitCode();
    }
    return status;
}

int main(int argc, char **argv)
{
    if (argc < 3 || std::strcmp(argv[1], "--measure") != 0)
        return prepareAndMeasure(argc, argv);

    const QString home = QString::fromLocal8Bit(argv[2]);
    qputenv("XDG_DATA_HOME", QString(home + u"/data"_s).toUtf8());
    qputenv("XDG_CONFIG_HOME", QString(home + u"/config"_s).toUtf8());
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    prepareWebEngine();
    QApplication app(argc, argv);
    const double appReady = processAge();

    fonts::registerBundledFonts();
    QSettings settings(home + u"/settings.ini"_s, QSettings::IniFormat);
    QNetworkAccessManager network;
    MemoryTokenStore tokens;
    tokens.setData(Tokens{u"access"_s, u"refresh"_s, addSeconds(SystemClock::shared().now(), 3600)}.toJson());
    NoBrowser opener;
    // Nothing listens at port 9: every request fails at once, as without a network.
    AppModel model(AppModel::Services{SystemClock::shared(), settings, &network, tokens, opener,
                                      SpotifyConfig::forServer(QUrl(u"http://127.0.0.1:9"_s)), makeWebPlaybackEngine,
                                      {}});
    const double modelReady = processAge();
    FirstPaint watcher;
    app.installEventFilter(&watcher);
    std::unique_ptr<MainWindow> window = makeMainWindow(model);
    window->show();
    std::printf("  (application %.0f ms, model %.0f ms, window %.0f ms)\n", appReady * 1000, modelReady * 1000,
                processAge() * 1000);
    const int status = QApplication::exec();
    window.reset();
    return status;
}
