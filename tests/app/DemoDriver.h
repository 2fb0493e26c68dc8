#pragma once

// Drives the demo as a user does: connect, pull the first record off the shelf, play it; or
// flip through the crate and play one from there. Shared by the end-to-end test and the
// demo's memory benchmark. Waits spin the event loop (test code only).

#include "app/DemoEnvironment.h"
#include "app/MainWindow.h"
#include "app/ProgramServices.h"
#include "appmodel/AppModel.h"
#include "scenes/crate/CratesView.h"
#include "scenes/pullout/PullOut.h"
#include "scenes/rooms/RoomSwitch.h"
#include "scenes/rooms/Rooms.h"
#include "scenes/shelf/ShelfView.h"
#include "scenes/turntable/TurntableScreen.h"
#include "shell/LoginView.h"
#include "webplayer/WebPlaybackEngine.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
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

// What a walk to the turntable met on its way.
struct Walk {
    QString recordID;
    bool sawFlight = false;   // a sleeve flew from where the record was picked
    bool sawLanding = false;  // and settled beside the deck
};

// Presses "Play" in the pull-out that is open, once its record is known, and waits until
// the sleeve has flown, landed and the side plays.
inline std::optional<QString> playPulledOut(ProgramServices &program, PullOut *pullOut, Walk &walk)
{
    AppModel &model = *program.model();
    QPointer<PullOut> guard(pullOut);
    if (!waitFor([&] { return !guard || (guard->canPlay() && guard->isDiscOut()); }, 15'000) || !guard)
        return QStringLiteral("the pull-out did not get its record");
    walk.recordID = guard->record()->id;
    // Watched as it happens: on a busy machine the whole flight can pass between two polls.
    QObject watcher;
    QObject::connect(&model.navigation(), &Navigation::flightChanged, &watcher,
                     [&walk](const std::optional<SleeveFlight> &flight) { walk.sawFlight = walk.sawFlight || flight; });
    QObject::connect(&model.turntable(), &Turntable::incomingChanged, &watcher,
                     [&](std::optional<Turntable::Incoming> incoming) {
                         walk.sawLanding = walk.sawLanding
                             || (model.flight() && incoming == Turntable::Incoming::landing);
                     });
    const QPoint play = guard->playButtonRect().center().toPoint();
    QTest::mouseClick(guard, Qt::LeftButton, {}, play);
    const auto watching = [&] {
        return model.controller().status() == PlaybackController::Status::playing && model.turntable().record()
            && model.turntable().record()->id == walk.recordID;
    };
    if (!waitFor(watching, 60'000))
        return QStringLiteral("the side did not start: ")
            + model.controller().lastError().value_or(QStringLiteral("no error"));
    if (!waitFor([&] { return !model.flight(); }, 5'000))
        return QStringLiteral("the sleeve never landed");
    if (model.screen() != AppModel::Screen::turntable || !program.window()->findChild<TurntableScreen *>())
        return QStringLiteral("the turntable is not on screen");
    return std::nullopt;
}

// Clicks the shelf's first spine and hands back the pull-out it opened.
inline std::optional<QString> pullFirstFromShelf(ProgramServices &program, PullOut *&pullOut)
{
    auto *shelf = program.window()->findChild<ShelfView *>();
    if (!shelf || !shelf->isVisible())
        return QStringLiteral("the shelf is not on screen");
    if (!waitFor([&] { return !shelf->lists().shown.isEmpty(); }, 10'000))
        return QStringLiteral("the shelf shows no records");
    const shelf::WallLayout &layout = shelf->wallLayout();
    const QRectF spine = layout.spineRect(layout.rowOf(0), 0);
    shelf->setScrollOffset(spine.top() - 40);
    QTest::mouseClick(shelf, Qt::LeftButton, {}, (spine.center() - QPointF(0, shelf->scrollOffset())).toPoint());
    pullOut = shelf->pullOut();
    if (!pullOut)
        return QStringLiteral("no pull-out after a click on a spine");
    return std::nullopt;
}

// Clicks the first spine on the shelf wall, the room the program opens on, and plays the
// record from its pull-out.
inline std::optional<QString> playFromShelf(ProgramServices &program, Walk &walk)
{
    PullOut *pullOut = nullptr;
    if (std::optional<QString> problem = pullFirstFromShelf(program, pullOut))
        return problem;
    return playPulledOut(program, pullOut, walk);
}

// Goes to the crate with the room switch, flips forwards with the arrow keys, pulls the
// current record out with Return and plays it.
inline std::optional<QString> playFromCrate(ProgramServices &program, int steps, Walk &walk)
{
    auto *rooms = program.window()->findChild<Rooms *>();
    if (!rooms)
        return QStringLiteral("no rooms");
    RoomSwitch &roomSwitch = rooms->roomSwitch();
    QTest::mouseClick(&roomSwitch, Qt::LeftButton, {}, roomSwitch.buttonRect(1).center().toPoint());
    auto *crate = qobject_cast<CratesView *>(rooms->room());
    if (!crate || !waitFor([&] { return crate->hasFocus() || crate->isActiveWindow(); }, 2'000))
        return QStringLiteral("the crate is not on screen");
    crate->setFocus();
    for (int i = 0; i < steps; ++i)
        QTest::keyClick(crate, Qt::Key_Right);
    QTest::keyClick(crate, Qt::Key_Return);
    if (!crate->pullOut())
        return QStringLiteral("Return pulled nothing out of the crate");
    return playPulledOut(program, crate->pullOut(), walk);
}

// Puts the first record of the shelf on; returns its id.
inline std::optional<QString> putOnFirstRecord(ProgramServices &program, QString &recordID)
{
    Walk walk;
    std::optional<QString> problem = playFromShelf(program, walk);
    recordID = walk.recordID;
    return problem;
}

} // namespace velloran::test
