#include "scenes/crate/ScrollWheel.h"

#include <QCoreApplication>
#include <QWheelEvent>
#include <QWindow>

namespace velloran::crate {

ScrollWheel::ScrollWheel(QWidget &view, Clock &clock, Step step, QObject *parent)
    : QObject(parent)
    , m_view(&view)
    , m_clock(clock)
    , m_epoch(clock.now())
    , m_step(std::move(step))
{
    QCoreApplication::instance()->installEventFilter(this);
}

ScrollWheel::~ScrollWheel()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool ScrollWheel::belongsToView(QObject *watched) const
{
    if (!m_view)
        return false;
    // The platform hands a wheel event to the window first, which passes it on to the
    // widget under the pointer; the event is taken at whichever of the two comes first.
    if (auto *window = qobject_cast<QWindow *>(watched))
        return m_view->window()->windowHandle() == window;
    if (auto *widget = qobject_cast<QWidget *>(watched))
        return widget->window() == m_view->window();
    return false;
}

bool ScrollWheel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || !belongsToView(watched))
        return false;
    const auto *wheel = static_cast<QWheelEvent *>(event);
    const QPointF delta = !wheel->pixelDelta().isNull()
        ? QPointF(wheel->pixelDelta())
        : QPointF(wheel->angleDelta()) * pointsPerWheelEighth;
    if (const std::optional<double> step = m_gathering.add(delta.x() + delta.y(), secondsBetween(m_epoch, m_clock.now())))
        m_step(*step);
    return true;
}

} // namespace velloran::crate
