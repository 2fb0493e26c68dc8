#include "scenes/rooms/FlyingSleeve.h"

#include <QPainter>

#include <cmath>

namespace velloran {

namespace {

constexpr int frameIntervalMs = 16;
constexpr double naturalSide = 330;

} // namespace

FlyingSleeve::FlyingSleeve(Navigation &navigation, Turntable &turntable, Clock &clock, QWidget *parent,
                           ArtworkStore *store)
    : QWidget(parent)
    , m_navigation(navigation)
    , m_turntable(turntable)
    , m_clock(clock)
    , m_epoch(clock.now())
    , m_cover(700, store)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setInterval(frameIntervalMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &FlyingSleeve::advanceFrame);
    connect(&m_navigation, &Navigation::flightChanged, this, &FlyingSleeve::followFlight);
    connect(&m_turntable, &Turntable::incomingChanged, this, &FlyingSleeve::apply);
    connect(&m_cover, &CoverArt::changed, this, [this] { update(m_painted.toAlignedRect()); });
    followFlight(m_navigation.flight());
}

double FlyingSleeve::now() const
{
    return secondsBetween(m_epoch, m_clock.now());
}

void FlyingSleeve::wake()
{
    m_motion.advance(now());
    if (!m_frameTimer.isActive())
        m_frameTimer.start();
    repaintSleeve();
}

QRectF FlyingSleeve::sleeveBounds() const
{
    if (!m_flight)
        return {};
    const rooms::SleevePose &pose = m_motion.pose();
    // The turned square with its shadow around it.
    QTransform turn;
    turn.translate(pose.frame.center().x(), pose.frame.center().y());
    turn.rotate(pose.angle);
    const QRectF square(-pose.frame.width() / 2, -pose.frame.height() / 2, pose.frame.width(), pose.frame.height());
    const double margin = 48 * pose.frame.width() / naturalSide + 2;
    return turn.mapRect(square).adjusted(-margin, -margin, margin, margin);
}

void FlyingSleeve::repaintSleeve()
{
    // Only where the sleeve was and is: the room under it redraws just that part.
    const QRectF now = sleeveBounds();
    update(m_painted.united(now).toAlignedRect());
    m_painted = now;
}

void FlyingSleeve::followFlight(const std::optional<SleeveFlight> &flight)
{
    if (!flight) {
        m_flight.reset();
        m_cover.setEntry(std::nullopt);
        m_frameTimer.stop();
        repaintSleeve();
        return;
    }
    if (m_flight == flight->id)
        return;
    // A new flight starts where its sleeve stood in the window.
    m_flight = flight->id;
    m_cover.setEntry(flight->entry);
    const QPointF origin = window() == this ? QPointF() : QPointF(mapTo(window(), QPoint(0, 0)));
    m_motion.start(flight->from.translated(-origin));
    if (const std::optional<Turntable::Incoming> incoming = m_turntable.incoming())
        apply(incoming);
    repaintSleeve();
}

void FlyingSleeve::apply(std::optional<Turntable::Incoming> incoming)
{
    if (!m_flight)
        return;
    if (!incoming) {
        // The sleeve is down: the table draws it from here on.
        m_navigation.setFlight(std::nullopt);
        return;
    }
    m_motion.advance(now());
    if (*incoming == Turntable::Incoming::holding)
        m_motion.hold(size());
    else
        m_motion.land(size(), now());
    wake();
}

void FlyingSleeve::advanceFrame()
{
    m_motion.advance(now());
    repaintSleeve();
    if (!m_motion.isMoving())
        m_frameTimer.stop();
}

void FlyingSleeve::paintSleeve(QPainter &painter, qreal dpr)
{
    if (!m_flight)
        return;
    const rooms::SleevePose &pose = m_motion.pose();
    if (pose.frame.isEmpty() || pose.opacity <= 0.001)
        return;
    const double scale = pose.frame.width() / naturalSide;
    // Drawn for the pixels it covers, in quarter steps so a flight does not redraw every frame.
    const qreal spriteRatio = std::max(dpr, std::ceil(dpr * scale * 4) / 4);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(pose.frame.center());
    painter.rotate(pose.angle);
    painter.scale(scale, scale);
    painter.setOpacity(painter.opacity() * pose.opacity);
    m_sleeve.sprite(m_cover.image(naturalSide, spriteRatio), spriteRatio)
        .draw(painter, {-naturalSide / 2, -naturalSide / 2});
    painter.restore();
}

void FlyingSleeve::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintSleeve(painter, devicePixelRatioF());
}

} // namespace velloran
