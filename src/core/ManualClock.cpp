#include "core/ManualClock.h"

#include <QCoreApplication>

namespace velloran {

struct ManualClock::Sleeper {
    std::coroutine_handle<> handle;
    bool stopped = false;
};

struct ManualClock::Awaiter {
    ManualClock *clock;
    Instant deadline;
    Sleeper sleeper;

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle)
    {
        sleeper.handle = handle;
        clock->m_sleepers.emplace(std::pair{deadline, clock->m_nextTicket++}, &sleeper);
    }
    void await_resume() const
    {
        if (sleeper.stopped)
            throw ClockStopped{};
    }
};

ManualClock::ManualClock(Instant start)
    : m_now(start)
{
}

ManualClock::~ManualClock()
{
    // Let every pending sleeper unwind so that no coroutine frame outlives the clock.
    while (!m_sleepers.empty()) {
        auto first = m_sleepers.begin();
        Sleeper *sleeper = first->second;
        m_sleepers.erase(first);
        sleeper->stopped = true;
        sleeper->handle.resume();
    }
}

Instant ManualClock::fromEpochSeconds(std::int64_t seconds)
{
    return Instant{std::chrono::seconds{seconds}};
}

QCoro::Task<> ManualClock::sleep(std::chrono::nanoseconds duration)
{
    const auto deadline = m_now + std::chrono::duration_cast<Instant::duration>(std::max(duration, std::chrono::nanoseconds{0}));
    co_await Awaiter{this, deadline, {}};
}

void ManualClock::advance(std::chrono::nanoseconds by)
{
    const Instant target = m_now + std::chrono::duration_cast<Instant::duration>(by);
    QCoreApplication::sendPostedEvents();
    while (!m_sleepers.empty() && m_sleepers.begin()->first.first <= target) {
        auto first = m_sleepers.begin();
        Sleeper *sleeper = first->second;
        m_now = std::max(m_now, first->first.first);
        m_sleepers.erase(first);
        sleeper->handle.resume();
        QCoreApplication::sendPostedEvents();
    }
    m_now = std::max(m_now, target);
    QCoreApplication::sendPostedEvents();
}

void ManualClock::advanceSeconds(double seconds)
{
    advance(std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(seconds)));
}

void ManualClock::settle()
{
    advance(std::chrono::nanoseconds{0});
}

} // namespace velloran
