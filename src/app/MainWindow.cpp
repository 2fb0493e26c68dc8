#include "app/MainWindow.h"

#include "appmodel/AppModel.h"
#include "shell/RootView.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace velloran {

MainWindow::MainWindow(AppModel &model, RootView *content, QWidget *parent)
    : QMainWindow(parent)
    , m_model(model)
{
    setWindowTitle(u"Velloran"_s);
    setObjectName(u"main"_s);
    setCentralWidget(content);
    content->setMinimumSize(820, 560);
    resize(1280, 820);

    QMenu *app = menuBar()->addMenu(u"&Velloran"_s);
    m_logOut = app->addAction(u"Log Out of Spotify"_s);
    const auto enableLogOut = [this] { m_logOut->setEnabled(m_model.auth().isLoggedIn()); };
    connect(&model.auth(), &SpotifyAuth::tokensChanged, this, enableLogOut);
    enableLogOut();
    connect(m_logOut, &QAction::triggered, this, [this] { m_model.logOut(); });
    app->addSeparator();
    QAction *quit = app->addAction(u"&Quit"_s);
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QApplication::quit);

    PlaybackController &controller = model.controller();
    QMenu *playback = menuBar()->addMenu(u"&Playback"_s);
    m_playPause = playback->addAction(u"Play/Pause"_s);
    m_playPause->setShortcut(Qt::Key_Space);
    connect(m_playPause, &QAction::triggered, &controller, &PlaybackController::togglePlayPause);
    QAction *next = playback->addAction(u"Next Track"_s);
    next->setShortcut(Qt::CTRL | Qt::Key_Right);
    connect(next, &QAction::triggered, &controller, &PlaybackController::nextTrack);
    QAction *previous = playback->addAction(u"Previous Track"_s);
    previous->setShortcut(Qt::CTRL | Qt::Key_Left);
    connect(previous, &QAction::triggered, &controller, &PlaybackController::previousTrack);
    QAction *flip = playback->addAction(u"Flip Record"_s);
    flip->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_F);
    connect(flip, &QAction::triggered, &controller, &PlaybackController::nextSide);

    // A focused button would take Space for itself; the window's Play/Pause comes first.
    qApp->installEventFilter(this);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        const bool plainSpace = key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier;
        if (plainSpace && widget && widget->window() == this && !widget->inherits("QLineEdit")
            && !widget->inherits("QTextEdit") && !widget->inherits("QPlainTextEdit")) {
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
                m_playPause->trigger();
            event->accept();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::raiseToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

} // namespace velloran
