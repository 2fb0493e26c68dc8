#pragma once

#include "core/Clock.h"
#include "model/Navigation.h"
#include "playback/Turntable.h"
#include "scenes/rooms/SleeveFlightMotion.h"
#include "scenes/vinyl/CoverArt.h"
#include "scenes/vinyl/Sleeve.h"

#include <QTimer>
#include <QWidget>

namespace velloran {

class ArtworkStore;

// The sleeve of a record sent to the turntable, flying over the rooms from where it was
// picked to its place beside the deck, following the turntable's incoming sleeve. When the
// turntable no longer expects it, the flight ends and the table's own sleeve takes over.
// Lies over the whole rooms view and lets every click through.
class FlyingSleeve : public QWidget {
    Q_OBJECT

public:
    FlyingSleeve(Navigation &navigation, Turntable &turntable, Clock &clock, QWidget *parent,
                 ArtworkStore *store = nullptr);

    const rooms::SleeveFlightMotion &motion() const { return m_motion; }
    bool isFlying() const { return m_flight.has_value(); }
    // One frame of the loop; the loop runs while the sleeve moves.
    void advanceFrame();
    bool isStill() const { return !m_frameTimer.isActive(); }
    void paintSleeve(QPainter &painter, qreal devicePixelRatio);
    // What the sleeve covers now, its shadow included, in the view's points.
    QRectF sleeveBounds() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double now() const;
    void followFlight(const std::optional<SleeveFlight> &flight);
    void apply(std::optional<Turntable::Incoming> incoming);
    void wake();
    void repaintSleeve();

    Navigation &m_navigation;
    Turntable &m_turntable;
    Clock &m_clock;
    Instant m_epoch;
    std::optional<QUuid> m_flight;
    rooms::SleeveFlightMotion m_motion;
    CoverArt m_cover;
    SleeveRenderer m_sleeve;
    QTimer m_frameTimer;
    QRectF m_painted;
};

} // namespace velloran
