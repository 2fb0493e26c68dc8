#pragma once

#include <QCoroSignal>
#include <QCoroTask>
#include <QObject>

namespace velloran {

// A one-time gate that any number of coroutines wait on; opening it lets them all go.
class Latch : public QObject {
    Q_OBJECT

public:
    bool isOpen() const { return m_open; }

    void open()
    {
        if (m_open)
            return;
        m_open = true;
        Q_EMIT opened();
    }

    QCoro::Task<> wait()
    {
        if (!m_open)
            co_await qCoro(this, &Latch::opened);
    }

Q_SIGNALS:
    void opened();

private:
    bool m_open = false;
};

} // namespace velloran
