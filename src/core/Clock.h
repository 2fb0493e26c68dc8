#pragma once

#include <QCoroTask>

#include <chrono>

namespace velloran {

// A point in time as the program sees it; durations between instants are exact.
using Instant = std::chrono::system_clock::time_point;

// Seconds between two instants, as a double.
inline double secondsBetween(Instant from, Instant to)
{
    return std::chrono::duration<double>(to - from).count();
}

inline Instant addSeconds(Instant at, double seconds)
{
    return at + std::chrono::duration_cast<Instant::duration>(std::chrono::duration<double>(seconds));
}

// Raised out of a pending sleep when its clock goes away before the sleep ends.
struct ClockStopped {};

// Every model reads time and waits through one of these, so that tests can drive time by hand.
class Clock {
public:
    virtual ~Clock() = default;

    virtual Instant now() const = 0;

    // Suspends the calling coroutine for the given time; it resumes on the thread of the clock.
    virtual QCoro::Task<> sleep(std::chrono::nanoseconds duration) = 0;

    QCoro::Task<> sleepSeconds(double seconds);
};

// Wall-clock time and event-loop timers.
class SystemClock final : public Clock {
public:
    Instant now() const override;
    QCoro::Task<> sleep(std::chrono::nanoseconds duration) override;

    // The clock the program runs on.
    static SystemClock &shared();
};

// Seconds since 2001-01-01 00:00:00 UTC, the form dates take in stored files.
double toReferenceSeconds(Instant at);
Instant fromReferenceSeconds(double seconds);

} // namespace velloran
