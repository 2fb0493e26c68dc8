#pragma once

#include <QMainWindow>

class QAction;

namespace velloran {

class AppModel;
class RootView;

// The program's only window, "Velloran", with the playback menu and the account commands.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(AppModel &model, RootView *content, QWidget *parent = nullptr);

    QAction *playPauseAction() const { return m_playPause; }
    QAction *logOutAction() const { return m_logOut; }

    // Brings the window to the front, as when a second start of the program asks for it.
    void raiseToFront();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppModel &m_model;
    QAction *m_playPause;
    QAction *m_logOut;
};

} // namespace velloran
