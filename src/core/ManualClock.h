#pragma once

#include "core/Clock.h"

#include <coroutine>
#include <map>

namespace velloran {

// A clock for tests: time stands still until advance() moves it, and sleepers wake in
// deadline order (ties in the order they went to sleep), each seeing now() equal to its
// deadline. Posted events are delivered between wake-ups, so queued signal connections
// behave as they would on a running event loop.
class ManualClock final : public Clock {
public:
    explicit ManualClock(Instant start = fromEpochSeconds(800000000));
    ~ManualClock() override;

    ManualClock(const ManualClock &) = delete;
    ManualClock &operator=(const ManualClock &) = delete;

    Instant now() const override { return m_now; }
    QCoro::Task<> sleep(std::chrono::nanoseconds duration) override;

    void advance(std::chrono::nanoseconds by);
    void advanceSeconds(double seconds);
    // Wakes every sleeper whose deadline has come, without moving time.
    void settle();

    std::size_t sleeperCount() const { return m_sleepers.size(); }

    static Instant fromEpochSeconds(std::int64_t seconds);

private:
    struct Sleeper;
    struct Awaiter;

    Instant m_now;
    std::uint64_t m_nextTicket = 0;
    std::multimap<std::pair<Instant, std::uint64_t>, Sleeper *> m_sleepers;
};

} // namespace velloran
