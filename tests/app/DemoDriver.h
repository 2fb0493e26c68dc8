#pragma once

// Drives the demo as a user does: connect, open the drawer, choose the first record, put it
// on. Shared by the end-to-end test and the demo's memory benchmark. Waits spin the event
// loop (test code only).

#include "app/DemoEnvironment.h"
#include "app/MainWindow.h"
#include "app/ProgramServices.h"
#include "appmodel/AppModel.h"
#include "scenes/sleeveback/Drawer.h"
#include "scenes/sleeveback/SleeveBack.h"
#include "scenes/sleeveback/SleeveBackParts.h"
#include "scenes/turntable/TurntableScreen.h"
#include "shell/LoginView.h"
#include "webplayer/WebPlaybackEngine.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace velloran::test {

// A runtime folder of its own, so the demo's single-instance socket never meets another
// program's on this machine.
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder()
        : m_previous(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
    }
    ~PrivateRuntimeFolder() { qputenv("XDG_RUNTIME_DIR", m_previous); }

    PrivateRuntimeFolder(const PrivateRuntimeFolder &) = delete;
    PrivateRuntimeFolder &operator=(const PrivateRuntimeFolder &) = delete;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

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

// Each step returns the problem it met, or nothing when it worked.
inline std::optional<QString> connectDemo(ProgramServices &program)
{
    auto *login = program.window()->findChild<LoginView *>();
    auto *connect = login ? login->findChild<QAbstractButton *>() : nullptr;
    if (!connect)
        return QStringLiteral("no connect button");
    connect->click();
    AppModel &model = *program.model();
    if (!waitFor([&] { return model.auth().isLoggedIn(); }, 20'000))
        return QStringLiteral("the login did not complete");
    if (!waitFor([&] { return !model.library().isLoading() && !model.library().entries().isEmpty(); }, 30'000))
        return QStringLiteral("the library did not load: ") + model.library().errorText();
    // The player page registers its device a moment after connecting; a record put on
    // before that is refused with "The player isn't connected to Spotify yet."
    auto *engine = dynamic_cast<WebPlaybackEngine *>(&model.engine());
    if (!engine || !waitFor([&] { return engine->deviceID().has_value(); }, 30'000))
        return QStringLiteral("the player page did not register a device");
    return std::nullopt;
}

// Chooses the first record in the drawer and puts it on; returns its id.
inline std::optional<QString> putOnFirstRecord(ProgramServices &program, QString &recordID)
{
    AppModel &model = *program.model();
    auto *screen = program.window()->findChild<TurntableScreen *>();
    if (!screen)
        return QStringLiteral("no turntable screen");
    SleeveBack &back = screen->sleeveBack();
    screen->drawer().clickTab(); // the drawer opens on the chooser
    if (!waitFor([&] { return !back.findChildren<RowButton *>().isEmpty(); }, 10'000))
        return QStringLiteral("the chooser shows no records");
    back.findChildren<RowButton *>().front()->click();
    if (!waitFor([&] { return model.turntable().record().has_value(); }, 10'000))
        return QStringLiteral("the record did not reach the table");
    recordID = model.turntable().record()->id;

    PillButton *putItOn = nullptr;
    const auto findPill = [&] {
        for (PillButton *pill : back.findChildren<PillButton *>())
            if (pill->text() == QStringLiteral("Put it on"))
                putItOn = pill;
        return putItOn != nullptr;
    };
    if (!waitFor(findPill, 10'000))
        return QStringLiteral("no \"Put it on\"");
    putItOn->click();
    if (!waitFor([&] { return model.controller().status() == PlaybackController::Status::playing; }, 60'000))
        return QStringLiteral("the side did not start: ") + model.controller().lastError().value_or(QStringLiteral("no error"));
    return std::nullopt;
}

} // namespace velloran::test
