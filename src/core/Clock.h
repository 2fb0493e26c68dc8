#pragma once

#include "core/Instant.h"

#include <QCoroTask>

#include <chrono>

namespace velloran {

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

} // namespace velloran
