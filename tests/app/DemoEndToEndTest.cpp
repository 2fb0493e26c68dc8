// The demo as a user meets it: connect, pick a record in the drawer, put it on, hear it
// play, see it in the history and on the desktop's media controls, pause it with Space.

#include "TemporaryHome.h"

#include "app/AppModel.h"
#include "app/DemoEnvironment.h"
#include "app/MainWindow.h"
#include "app/ProgramServices.h"
#include "model/SupportDirectory.h"
#include "playback/WebEngineSetup.h"
#include "playback/WebPlaybackEngine.h"
#include "scenes/browse/LoginView.h"
#include "scenes/turntable/SleeveBack.h"
#include "scenes/turntable/Drawer.h"
#include "scenes/turntable/SleeveBackParts.h"
#include "scenes/turntable/TurntableScreen.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

using namespace velloran;
using namespace Qt::StringLiterals;
using Status = PlaybackController::Status;

namespace {

const bool webEnginePrepared = [] {
    // The tests run as root, where Chromium's sandbox cannot start.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    prepareWebEngine();
    return true;
}();

template<typename Predicate>
bool waitFor(Predicate done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QTest::qWait(20);
    }
    return true;
}

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
    ProgramServices program(true);
    ASSERT_TRUE(program.claimInstance());
    ASSERT_TRUE(program.start()) << program.startError().toStdString();
    program.show();
    AppModel &model = *program.model();
    MainWindow &window = *program.window();

    auto *login = window.findChild<LoginView *>();
    ASSERT_TRUE(login);
    auto *connect = login->findChild<QAbstractButton *>();
    ASSERT_TRUE(connect);
    connect->click();
    ASSERT_TRUE(waitFor([&] { return model.auth().isLoggedIn(); }, 20'000));
    ASSERT_TRUE(waitFor([&] { return !model.library().isLoading() && !model.library().entries().isEmpty(); }, 30'000))
        << model.library().errorText().toStdString();

    auto *screen = window.findChild<TurntableScreen *>();
    ASSERT_TRUE(screen);
    SleeveBack &back = screen->sleeveBack();
    screen->drawer().clickTab(); // the drawer opens on the chooser
    ASSERT_TRUE(waitFor([&] { return !back.findChildren<RowButton *>().isEmpty(); }, 10'000));
    RowButton *row = back.findChildren<RowButton *>().front();
    row->click();
    ASSERT_TRUE(waitFor([&] { return model.turntable().record().has_value(); }, 10'000));
    const QString recordID = model.turntable().record()->id;

    PillButton *putItOn = nullptr;
    ASSERT_TRUE(waitFor(
        [&] {
            for (PillButton *pill : back.findChildren<PillButton *>())
                if (pill->text() == u"Put it on"_s)
                    putItOn = pill;
            return putItOn != nullptr;
        },
        10'000));
    putItOn->click();
    ASSERT_TRUE(waitFor([&] { return model.controller().status() == Status::playing; }, 60'000))
        << "status " << int(model.controller().status()) << ", error "
        << model.controller().lastError().value_or(u"none"_s).toStdString() << ", turntable settled "
        << model.turntable().settled() << ", engine plays to "
        << dynamic_cast<WebPlaybackEngine &>(model.engine()).deviceIDText().toStdString();

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
}
