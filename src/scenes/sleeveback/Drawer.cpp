#include "scenes/sleeveback/Drawer.h"

#include <QPointer>

namespace velloran {

Drawer::Drawer(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
}

void Drawer::setOpen(bool open)
{
    if (m_open == open)
        return;
    m_open = open;
    Q_EMIT openChanged(open);
}

void Drawer::setPinned(bool pinned)
{
    if (m_pinned == pinned)
        return;
    m_pinned = pinned;
    if (pinned)
        cancelClose();
    Q_EMIT pinnedChanged(pinned);
}

void Drawer::hoverEdge()
{
    cancelClose();
    setOpen(true);
}

void Drawer::clickTab()
{
    cancelClose();
    setOpen(true);
}

void Drawer::enterPanel()
{
    cancelClose();
}

void Drawer::leavePanel()
{
    cancelClose();
    if (m_pinned)
        return;
    m_closeToken = ++m_nextToken;
    closeLater(m_closeToken);
}

QCoro::Task<> Drawer::closeLater(quint64 token)
{
    QPointer<Drawer> self(this);
    try {
        co_await m_clock.sleepSeconds(closeDelaySeconds);
    } catch (const ClockStopped &) {
        co_return;
    }
    if (!self || self->m_closeToken != token)
        co_return;
    self->m_closeToken = 0;
    self->setOpen(false);
}

void Drawer::tapStage()
{
    if (!m_pinned)
        setOpen(false);
}

void Drawer::discLanded()
{
    if (!m_pinned)
        setOpen(false);
}

void Drawer::close()
{
    cancelClose();
    setPinned(false);
    setOpen(false);
}

} // namespace velloran
