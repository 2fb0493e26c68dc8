#pragma once

#include "core/Clock.h"
#include "paint/Spring.h"

#include <QTimer>
#include <QWidget>

namespace velloran {

class ArtworkStore;
class Drawer;
class DrawerTab;
class Library;
class LibraryAccess;
class PlaybackController;
class Readout;
class SleeveBack;
class TabletopStage;
class Turntable;

// The turntable screen: the tabletop stage filling the window, the readout pill at the top,
// the drawer tab and its hover strip at the right edge, and the drawer sliding in from the
// right with the sleeve back of the record on the deck.
class TurntableScreen : public QWidget {
    Q_OBJECT

public:
    static constexpr int hoverStripWidth = 26;
    static constexpr int drawerPadding = 12;
    static constexpr int drawerMaxWidth = 350;

    // The screen of the program, over its shared library.
    TurntableScreen(Turntable &turntable, Library &library, Clock &clock, QWidget *parent = nullptr,
                    ArtworkStore *store = nullptr);
    TurntableScreen(Turntable &turntable, LibraryAccess &library, Clock &clock, QWidget *parent = nullptr,
                    ArtworkStore *store = nullptr);
    ~TurntableScreen() override;

    TabletopStage &stage() const { return *m_stage; }
    Readout &readout() const { return *m_readout; }
    Drawer &drawer() const { return *m_drawer; }
    SleeveBack &sleeveBack() const { return *m_sleeveBack; }
    DrawerTab &drawerTab() const { return *m_tab; }
    QWidget &drawerPanel() const { return *m_panel; }
    QWidget &hoverStrip() const { return *m_strip; }

    int drawerWidth() const;
    // How far right of its open place the drawer is now.
    double drawerShift() const { return m_shift.value(); }
    // Moves the drawer's spring to its target at once.
    void settleDrawer();
    // Something floated over this screen by its owner at the top (in this screen's points):
    // the readout moves right of it, and narrows, rather than lie under it.
    void keepReadoutClearOf(QRect area);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutOverlays();
    void placeReadout();
    void followDrawer(bool open);
    void stepDrawer();

    Turntable &m_turntable;
    LibraryAccess &m_library;
    Clock &m_clock;
    TabletopStage *m_stage;
    Readout *m_readout;
    DrawerTab *m_tab;
    QWidget *m_strip;
    QWidget *m_panel;
    SleeveBack *m_sleeveBack;
    Drawer *m_drawer;
    DampedSpring m_shift{0.45, 0.9};
    QTimer m_drawerTimer;
    Instant m_lastDrawerStep;
    QRect m_readoutKeepsClearOf;
};

} // namespace velloran
