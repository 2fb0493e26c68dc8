#include "core/ManualClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace velloran;
using namespace std::chrono_literals;

namespace {

QCoro::Task<> sleeper(Clock &clock, double seconds, std::string name, std::vector<std::pair<std::string, double>> &log,
                      Instant origin)
{
    co_await clock.sleepSeconds(seconds);
    log.emplace_back(name, secondsBetween(origin, clock.now()));
}

} // namespace

TEST(ManualClock, WakesSleepersInDeadlineOrderAtTheirDeadlines)
{
    ManualClock clock;
    const Instant origin = clock.now();
    std::vector<std::pair<std::string, double>> log;
    sleeper(clock, 2.0, "late", log, origin);
    sleeper(clock, 0.5, "early", log, origin);
    sleeper(clock, 0.5, "early-second", log, origin);
    sleeper(clock, 5.0, "beyond", log, origin);

    clock.advanceSeconds(1.0);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], (std::pair<std::string, double>{"early", 0.5}));
    EXPECT_EQ(log[1], (std::pair<std::string, double>{"early-second", 0.5}));

    clock.advanceSeconds(1.0);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2], (std::pair<std::string, double>{"late", 2.0}));
    EXPECT_DOUBLE_EQ(secondsBetween(origin, clock.now()), 2.0);
    EXPECT_EQ(clock.sleeperCount(), 1u);
}

TEST(ManualClock, ChainedSleepsWithinOneAdvanceAllRun)
{
    ManualClock clock;
    const Instant origin = clock.now();
    std::vector<double> wakes;
    auto chain = [&]() -> QCoro::Task<> {
        for (int i = 0; i < 3; ++i) {
            co_await clock.sleepSeconds(0.3);
            wakes.push_back(secondsBetween(origin, clock.now()));
        }
    };
    chain();
    clock.advanceSeconds(1.0);
    ASSERT_EQ(wakes.size(), 3u);
    EXPECT_NEAR(wakes[2], 0.9, 1e-9);
}

TEST(ManualClock, DestroyingTheClockUnwindsPendingSleepers)
{
    bool caught = false;
    bool continued = false;
    {
        ManualClock clock;
        [](Clock &c, bool &caughtFlag, bool &continuedFlag) -> QCoro::Task<> {
            try {
                co_await c.sleepSeconds(10);
                continuedFlag = true;
            } catch (const ClockStopped &) {
                caughtFlag = true;
            }
        }(clock, caught, continued);
    }
    EXPECT_TRUE(caught);
    EXPECT_FALSE(continued);
}

TEST(SystemClock, SleepDoesNotBlockTheEventLoop)
{
    bool timerFired = false;
    bool slept = false;
    QTimer::singleShot(10, [&] { timerFired = true; });
    [](bool &done) -> QCoro::Task<> {
        co_await SystemClock::shared().sleep(60ms);
        done = true;
    }(slept);
    EXPECT_FALSE(slept);
    QElapsedTimer elapsed;
    elapsed.start();
    while (!slept && elapsed.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_TRUE(timerFired);
    EXPECT_TRUE(slept);
    EXPECT_GE(elapsed.elapsed(), 50);
}

TEST(ReferenceDates, CountFromTheStartOf2001)
{
    EXPECT_DOUBLE_EQ(toReferenceSeconds(ManualClock::fromEpochSeconds(978307200)), 0.0);
    EXPECT_DOUBLE_EQ(toReferenceSeconds(fromReferenceSeconds(123456.5)), 123456.5);
}
