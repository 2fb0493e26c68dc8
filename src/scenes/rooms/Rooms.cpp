#include "scenes/rooms/Rooms.h"

#include "scenes/crate/CratesView.h"
#include "scenes/rooms/FlyingSleeve.h"
#include "scenes/rooms/RoomSwitch.h"
#include "scenes/shelf/ShelfView.h"
#include "scenes/sleeveback/Drawer.h"
#include "scenes/turntable/TabletopStage.h"
#include "scenes/turntable/TurntableScreen.h"

#include <QShowEvent>

namespace velloran {

Rooms::Rooms(Services services, QWidget *parent)
    : QWidget(parent)
    , m_services(std::move(services))
    , m_switch(new RoomSwitch(m_services.navigation, this))
    , m_flyingSleeve(new FlyingSleeve(m_services.navigation, m_services.turntable, m_services.clock, this,
                                      m_services.store))
{
    m_switch->move(switchInsetX, switchInsetY);
    connect(&m_services.navigation, &Navigation::screenChanged, this, &Rooms::showRoom);
    showRoom(m_services.navigation.screen());
}

Rooms::~Rooms()
{
    // The rooms read the library and the deck; they go before anything else of this view,
    // a room on its way out too.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        delete child;
}

QWidget *Rooms::make(Navigation::Screen screen)
{
    const Services &s = m_services;
    switch (screen) {
    case Navigation::Screen::shelf:
        return new ShelfView({s.library, s.history, s.settings, s.clock, s.putOnTurntable, s.store}, this);
    case Navigation::Screen::crates:
        return new CratesView({s.library, s.settings, s.clock, s.putOnTurntable, s.store}, this);
    case Navigation::Screen::turntable:
        // Shown with its drawer closed and not pinned.
        turntableScreen().drawer().close();
        turntableScreen().settleDrawer();
        return m_turntableScreen;
    }
    return nullptr;
}

TurntableScreen &Rooms::turntableScreen()
{
    if (!m_turntableScreen) {
        const Services &s = m_services;
        m_turntableScreen = new TurntableScreen(s.turntable, s.library, s.clock, this, s.store);
        m_turntableScreen->hide();
        m_turntableScreen->setGeometry(rect());
        m_turntableScreen->keepReadoutClearOf(m_switch->geometry());
    }
    return *m_turntableScreen;
}

// The table's drawings are made on a worker thread while the user looks at the shelf, so that a
// record's first flight to it is not spent drawing the table for the first time, and the shelf
// does not stand still while they are made.
void Rooms::prepareTurntable()
{
    TurntableScreen &screen = turntableScreen();
    if (screen.isVisible() || size().isEmpty())
        return;
    screen.stage().prepareDrawings(size(), devicePixelRatioF());
}

void Rooms::showRoom(Navigation::Screen screen)
{
    if (m_room && screen == m_shown)
        return;
    if (m_room) {
        // The old room may be the one whose pull-out is handing its record over right now;
        // it goes once that call has returned.
        m_room->hide();
        if (m_room != m_turntableScreen)
            m_room->deleteLater();
    }
    m_shown = screen;
    m_room = make(screen);
    m_room->setGeometry(rect());
    m_room->lower();
    m_room->show();
    m_switch->raise();
    m_flyingSleeve->raise();
    if (isVisible())
        m_room->setFocus();
}

void Rooms::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_room)
        m_room->setGeometry(rect());
    if (m_turntableScreen)
        m_turntableScreen->setGeometry(rect());
    m_flyingSleeve->setGeometry(rect());
}

void Rooms::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Coming on screen, not a window restored from the taskbar.
    if (event->spontaneous())
        return;
    m_services.navigation.setScreen(Navigation::Screen::shelf);
    if (m_room)
        m_room->setFocus();
    QMetaObject::invokeMethod(this, &Rooms::prepareTurntable, Qt::QueuedConnection);
}

} // namespace velloran
