#pragma once

#include "core/Clock.h"

#include <QCoroTask>
#include <QObject>

namespace velloran {

// Whether the turntable screen's drawer is open, and the rules that open and close it: the
// hover strip and the tab open it; leaving the panel closes it after a short grace unless
// the pointer comes back or the drawer is pinned; a tap on the table and the disc landing
// on the platter close it unless pinned; the close action closes and unpins.
class Drawer : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool open READ isOpen NOTIFY openChanged)
    Q_PROPERTY(bool pinned READ isPinned WRITE setPinned NOTIFY pinnedChanged)

public:
    static constexpr double closeDelaySeconds = 0.45;

    explicit Drawer(Clock &clock, QObject *parent = nullptr);

    bool isOpen() const { return m_open; }
    bool isPinned() const { return m_pinned; }
    void setPinned(bool pinned);
    // A close is waiting for its delay.
    bool isClosePending() const { return m_closeToken != 0; }

    void hoverEdge();
    void clickTab();
    void enterPanel();
    void leavePanel();
    void tapStage();
    void discLanded();
    void close();

Q_SIGNALS:
    void openChanged(bool open);
    void pinnedChanged(bool pinned);

private:
    void setOpen(bool open);
    void cancelClose() { m_closeToken = 0; }
    QCoro::Task<> closeLater(quint64 token);

    Clock &m_clock;
    bool m_open = false;
    bool m_pinned = false;
    quint64 m_closeToken = 0;
    quint64 m_nextToken = 0;
};

} // namespace velloran
