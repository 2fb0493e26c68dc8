#include "scenes/turntable/TurntableScreen.h"

#include "model/LibraryAdapter.h"
#include "paint/SoftShadow.h"
#include "playback/Turntable.h"
#include "scenes/sleeveback/Drawer.h"
#include "scenes/sleeveback/SleeveBack.h"
#include "scenes/turntable/Readout.h"
#include "scenes/turntable/TabletopStage.h"

#include <QEnterEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace velloran {

namespace {

// The invisible strip along the right edge that opens the drawer when the pointer reaches it.
class HoverStrip : public QWidget {
public:
    HoverStrip(Drawer &drawer, QWidget *parent)
        : QWidget(parent)
        , m_drawer(drawer)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setMouseTracking(true);
    }

protected:
    void enterEvent(QEnterEvent *event) override
    {
        QWidget::enterEvent(event);
        m_drawer.hoverEdge();
    }
    void paintEvent(QPaintEvent *) override {}

private:
    Drawer &m_drawer;
};

// The drawer: the sleeve back in its padding, over the glass's soft shadow. Entering and
// leaving it hold and release the drawer.
class DrawerPanel : public QWidget {
public:
    DrawerPanel(Drawer &drawer, QWidget *parent)
        : QWidget(parent)
        , m_drawer(drawer)
    {
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void enterEvent(QEnterEvent *event) override
    {
        QWidget::enterEvent(event);
        m_drawer.enterPanel();
    }
    void leaveEvent(QEvent *event) override
    {
        QWidget::leaveEvent(event);
        m_drawer.leavePanel();
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const qreal dpr = devicePixelRatioF();
        const QRectF glass = QRectF(rect()).adjusted(TurntableScreen::drawerPadding, TurntableScreen::drawerPadding,
                                                    -TurntableScreen::drawerPadding, -TurntableScreen::drawerPadding);
        if (m_shadow.isNull() || m_shadowSize != glass.size() || m_shadowDpr != dpr) {
            QPainterPath shape;
            shape.addRoundedRect(QRectF(QPointF(0, 0), glass.size()), 20, 20);
            m_shadow = softShadow(shape, 30, QColor(0, 0, 0, qRound(255 * 0.35)), {0, 30}, dpr);
            m_shadowSize = glass.size();
            m_shadowDpr = dpr;
        }
        m_shadow.draw(p, glass.topLeft());
    }

private:
    Drawer &m_drawer;
    Sprite m_shadow;
    QSizeF m_shadowSize;
    qreal m_shadowDpr = 0;
};

} // namespace

TurntableScreen::TurntableScreen(Turntable &turntable, Library &library, Clock &clock, QWidget *parent,
                                 ArtworkStore *store)
    : TurntableScreen(turntable, *new LibraryAdapter(library), clock, parent, store)
{
    // The adapter made for this screen goes with it, after the views that read it.
    m_library.setParent(this);
}

TurntableScreen::TurntableScreen(Turntable &turntable, LibraryAccess &library, Clock &clock, QWidget *parent,
                                 ArtworkStore *store)
    : QWidget(parent)
    , m_turntable(turntable)
    , m_library(library)
    , m_clock(clock)
    , m_stage(new TabletopStage(turntable, library, clock, store, this))
    , m_readout(new Readout(turntable, clock, this))
    , m_tab(new DrawerTab(this, store))
    , m_drawer(new Drawer(clock, this))
{
    m_strip = new HoverStrip(*m_drawer, this);
    m_panel = new DrawerPanel(*m_drawer, this);
    m_sleeveBack = new SleeveBack(turntable, library, m_panel, store, false);

    connect(m_stage, &TabletopStage::tapped, m_drawer, &Drawer::tapStage);
    connect(m_tab, &DrawerTab::clicked, m_drawer, &Drawer::clickTab);
    connect(m_sleeveBack, &SleeveBack::closeRequested, m_drawer, &Drawer::close);
    connect(m_sleeveBack, &SleeveBack::pinnedChanged, m_drawer, &Drawer::setPinned);
    connect(m_drawer, &Drawer::pinnedChanged, m_sleeveBack, &SleeveBack::setPinned);
    connect(m_drawer, &Drawer::openChanged, this, &TurntableScreen::followDrawer);
    connect(&m_turntable, &Turntable::placeChanged, m_drawer, [this](Turntable::Place place) {
        if (place == Turntable::Place::platter)
            m_drawer->discLanded();
    });
    const auto followRecord = [this] {
        const std::optional<Record> &record = m_turntable.record();
        m_tab->setArtworkURL(record ? record->artworkURL : std::nullopt);
    };
    connect(&m_turntable, &Turntable::recordChanged, this, followRecord);
    followRecord();
    connect(m_readout, &Readout::shownChanged, this, &TurntableScreen::layoutOverlays);
    // The pill follows its line at every change: a longer time, a new title.
    connect(m_readout, &Readout::sizeHintChanged, this, &TurntableScreen::placeReadout);

    m_drawerTimer.setInterval(16);
    m_drawerTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_drawerTimer, &QTimer::timeout, this, &TurntableScreen::stepDrawer);

    m_shift.snapTo(drawerWidth() + 40);
    followDrawer(false);
}

TurntableScreen::~TurntableScreen() = default;

int TurntableScreen::drawerWidth() const
{
    return std::max(0, std::min(width() - 24, drawerMaxWidth));
}

void TurntableScreen::followDrawer(bool open)
{
    m_tab->setVisible(!open);
    m_sleeveBack->setOpen(open);
    m_shift.setTarget(open ? 0 : drawerWidth() + 40);
    m_lastDrawerStep = m_clock.now();
    if (!m_drawerTimer.isActive())
        m_drawerTimer.start();
    m_panel->setVisible(true);
}

void TurntableScreen::stepDrawer()
{
    const Instant now = m_clock.now();
    m_shift.advance(std::clamp(secondsBetween(m_lastDrawerStep, now), 0.0, 0.05));
    m_lastDrawerStep = now;
    if (m_shift.isSettled(0.25)) {
        m_shift.snapTo(m_shift.target());
        m_drawerTimer.stop();
    }
    layoutOverlays();
}

void TurntableScreen::settleDrawer()
{
    m_shift.snapTo(m_shift.target());
    m_drawerTimer.stop();
    layoutOverlays();
}

void TurntableScreen::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_drawer->isOpen())
        m_shift.snapTo(drawerWidth() + 40);
    layoutOverlays();
}

void TurntableScreen::keepReadoutClearOf(QRect area)
{
    if (area == m_readoutKeepsClearOf)
        return;
    m_readoutKeepsClearOf = area;
    placeReadout();
}

void TurntableScreen::placeReadout()
{
    constexpr int edge = 12;
    constexpr int gap = 12;
    const QSize readout = m_readout->sizeHint();
    const int readoutWidth = std::min(readout.width(), std::max(0, width() - 2 * edge));
    QRect pill((width() - readoutWidth) / 2, 10, readoutWidth, readout.height());
    const QRect clear = m_readoutKeepsClearOf.adjusted(-gap, 0, gap, 0);
    if (!m_readoutKeepsClearOf.isEmpty() && pill.intersects(clear)) {
        // Right of what it keeps clear of, and narrower if the window asks: its line is then cut
        // at its end, as when it is at its widest.
        pill.moveLeft(clear.right() + 1);
        pill.setRight(std::min(pill.right(), width() - edge - 1));
    }
    m_readout->setGeometry(pill);
}

void TurntableScreen::layoutOverlays()
{
    const int w = width();
    const int h = height();
    m_stage->setGeometry(0, 0, w, h);

    placeReadout();

    const QSize tab = m_tab->sizeHint();
    m_tab->setGeometry(w - tab.width(), (h - tab.height()) / 2, tab.width(), tab.height());
    m_strip->setGeometry(w - hoverStripWidth, 0, hoverStripWidth, h);

    const int drawer = drawerWidth();
    const int panelWidth = drawer + 2 * drawerPadding;
    const int shift = int(std::lround(m_shift.value()));
    m_panel->setGeometry(w - panelWidth + shift, 0, panelWidth, h);
    m_sleeveBack->setGeometry(drawerPadding, drawerPadding, drawer, std::max(0, h - 2 * drawerPadding));
    // Fully out of sight, the drawer takes no pointer and costs no painting.
    m_panel->setVisible(shift < drawer + 2 * drawerPadding);
    m_readout->raise();
    m_strip->raise();
    m_tab->raise();
    m_panel->raise();
}

} // namespace velloran
