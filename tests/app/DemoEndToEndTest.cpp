// The demo as a user meets it: connect, see the shelf, pull a record out and play it, watch
// its sleeve fly to the table, hear it play, see it in the history and on the desktop's media
// controls, pause it with Space; then flip through the crate and play another from there.

#include "DemoDriver.h"
#include "TemporaryHome.h"

#include "app/DemoEnvironment.h"
#include "app/MainWindow.h"
#include "app/ProgramServices.h"
#include "appmodel/AppModel.h"
#include "model/SupportDirectory.h"
#include "scenes/sleeveback/Drawer.h"
#include "scenes/sleeveback/SleeveBack.h"
#include "scenes/sleeveback/SleeveBackParts.h"
#include "scenes/turntable/TurntableScreen.h"
#include "shell/LoginView.h"
#include "shell/RootView.h"
#include "webplayer/WebEngineSetup.h"
#include "webplayer/WebPlaybackEngine.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QWebEnginePage>
#include <QWindow>

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;
using Status = PlaybackController::Status;

namespace {

using velloran::test::waitFor;

const bool webEnginePrepared = [] {
    // The tests run as root, where Chromium's sandbox cannot start.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    prepareWebEngine();
    return true;
}();

// The program answers playerctl's D-Bus calls on this thread, so the event loop keeps
// running while it waits.
QString playerctl(const QStringList &arguments)
{
    QProcess process;
    process.start(u"playerctl"_s, QStringList{u"-p"_s, u"velloran"_s} + arguments);
    if (!waitFor([&] { return process.state() == QProcess::NotRunning; }, 10'000)) {
        process.kill();
        process.waitForFinished(1000);
        return u"(timed out)"_s;
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

TEST(DemoEndToEnd, ConnectPickPlayAndPause)
{
    ASSERT_TRUE(webEnginePrepared);
    velloran::test::TemporaryHome home;
    velloran::test::PrivateRuntimeFolder runtime;
    ProgramServices program(true);
    ASSERT_TRUE(program.claimInstance());
    ASSERT_TRUE(program.start()) << program.startError().toStdString();
    program.show();
    AppModel &model = *program.model();
    MainWindow &window = *program.window();

    const std::optional<QString> connected = velloran::test::connectDemo(program);
    ASSERT_FALSE(connected) << connected->toStdString();
    EXPECT_EQ(model.screen(), AppModel::Screen::shelf) << "the rooms open on the shelf";
    velloran::test::Walk fromShelf;
    const std::optional<QString> playing = velloran::test::playFromShelf(program, fromShelf);
    ASSERT_FALSE(playing) << playing->toStdString();
    EXPECT_TRUE(fromShelf.sawFlight);
    EXPECT_TRUE(fromShelf.sawLanding);
    const QString recordID = fromShelf.recordID;

    ASSERT_TRUE(waitFor([&] { return QFile(supportPath(u"history.json"_s)).size() > 0; }, 5'000));
    QFile history(supportPath(u"history.json"_s));
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    EXPECT_TRUE(history.readAll().contains(recordID.toUtf8()));

    EXPECT_TRUE(waitFor([] { return playerctl({u"status"_s}) == u"Playing"_s; }, 10'000))
        << playerctl({u"status"_s}).toStdString();
    EXPECT_FALSE(playerctl({u"metadata"_s, u"xesam:album"_s}).isEmpty());

    // A picture of the playing window, for looking at.
    QTest::qWait(1500);
    const QString renders = QCoreApplication::applicationDirPath() + u"/../renders"_s;
    QDir().mkpath(renders);
    window.grab().save(renders + u"/demo-playing.png"_s);

    window.activateWindow();
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_EQ(model.controller().status(), Status::paused);
    EXPECT_TRUE(waitFor([] { return playerctl({u"status"_s}) == u"Paused"_s; }, 10'000));

    // Through the crate: two records further on, Return, "Play"; the old record goes back
    // while the new sleeve waits, then lands.
    velloran::test::Walk fromCrate;
    const std::optional<QString> crated = velloran::test::playFromCrate(program, 2, fromCrate);
    ASSERT_FALSE(crated) << crated->toStdString();
    EXPECT_NE(fromCrate.recordID, recordID);
    EXPECT_TRUE(fromCrate.sawFlight);
    EXPECT_TRUE(waitFor([] { return playerctl({u"status"_s}) == u"Playing"_s; }, 10'000));

    // The window holds no web view: it stays a plain raster window, composed without OpenGL.
    EXPECT_EQ(window.windowHandle()->surfaceType(), QSurface::RasterSurface);
    auto *engine = dynamic_cast<WebPlaybackEngine *>(&model.engine());
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->page()->parent(), engine);

    // Logging out returns to the card; the page stays registered with the service.
    auto *root = qobject_cast<RootView *>(window.centralWidget());
    ASSERT_TRUE(root);
    ASSERT_TRUE(window.logOutAction()->isEnabled());
    window.logOutAction()->trigger();
    EXPECT_TRUE(waitFor([&] { return root->showsLogin(); }, 5'000));
    EXPECT_FALSE(window.logOutAction()->isEnabled());
    EXPECT_TRUE(engine->deviceID().has_value());
}
