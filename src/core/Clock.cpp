#include "core/Clock.h"

#include <QTimer>
#include <QCoroTimer>

namespace velloran {

QCoro::Task<> Clock::sleepSeconds(double seconds)
{
    const auto duration = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::duration<double>(std::max(seconds, 0.0)));
    return sleep(duration);
}

Instant SystemClock::now() const
{
    return std::chrono::system_clock::now();
}

QCoro::Task<> SystemClock::sleep(std::chrono::nanoseconds duration)
{
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(std::chrono::ceil<std::chrono::milliseconds>(std::max(duration, std::chrono::nanoseconds{0})));
    timer.start();
    co_await timer;
}

SystemClock &SystemClock::shared()
{
    static SystemClock clock;
    return clock;
}

} // namespace velloran
