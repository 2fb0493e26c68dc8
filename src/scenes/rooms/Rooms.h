#pragma once

#include "core/Clock.h"
#include "model/Navigation.h"
#include "scenes/pullout/PullOut.h"

#include <QPointer>
#include <QWidget>

class QSettings;

namespace velloran {

class ArtworkStore;
class FlyingSleeve;
class LibraryAccess;
class PlayHistory;
class RoomSwitch;
class Turntable;
class TurntableScreen;

// The window's content once the user is connected: exactly one of the three rooms (the
// shelf wall, the crate, the turntable), the room switch over it, and the sleeve flying to
// the turntable over everything. Shows the shelf each time it comes on screen.
class Rooms : public QWidget {
    Q_OBJECT

public:
    struct Services {
        Navigation &navigation;
        Turntable &turntable;
        LibraryAccess &library;
        PlayHistory &history;
        QSettings &settings;
        Clock &clock;
        PullOut::PutOnTurntable putOnTurntable;
        ArtworkStore *store = nullptr;
    };

    // Where the switch sits: clear of the window's controls at the top left.
    static constexpr int switchInsetX = 86;
    static constexpr int switchInsetY = 9;

    explicit Rooms(Services services, QWidget *parent = nullptr);
    ~Rooms() override;

    // The room on screen now, and which it is.
    QWidget *room() const { return m_room; }
    Navigation::Screen shownScreen() const { return m_shown; }
    RoomSwitch &roomSwitch() const { return *m_switch; }
    FlyingSleeve &flyingSleeve() const { return *m_flyingSleeve; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void showRoom(Navigation::Screen screen);
    QWidget *make(Navigation::Screen screen);
    TurntableScreen &turntableScreen();
    void prepareTurntable();

    Services m_services;
    QPointer<QWidget> m_room;
    // The turntable's room is kept while the rooms live: its drawings take long to make, and
    // everything it shows but the drawer is the deck's own state.
    QPointer<TurntableScreen> m_turntableScreen;
    Navigation::Screen m_shown = Navigation::Screen::shelf;
    RoomSwitch *m_switch;
    FlyingSleeve *m_flyingSleeve;
};

} // namespace velloran
