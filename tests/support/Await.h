#pragma once

// Waiting in tests for coroutines that do real I/O: the event loop runs until the task
// ends or a generous deadline passes, so a broken test fails instead of hanging.

#include <QCoroTask>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <exception>
#include <functional>
#include <optional>

namespace velloran::test {

constexpr std::chrono::milliseconds awaitDeadline{15000};

// Runs the event loop until `done` holds or the deadline passes; returns `done()`.
inline bool waitUntil(const std::function<bool()> &done, std::chrono::milliseconds deadline = awaitDeadline)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(deadline, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done();
}

// The outcome of a task: its value or what it threw.
template<typename T>
struct Outcome {
    bool finished = false;
    std::optional<T> value;
    std::exception_ptr error;

    // The message of the error, if it is of type E; empty otherwise.
    template<typename E>
    QString errorOf() const
    {
        if (!error)
            return {};
        try {
            std::rethrow_exception(error);
        } catch (const E &e) {
            return e.message();
        } catch (...) {
        }
        return {};
    }
};

struct Nothing {};

template<typename T>
QCoro::Task<> capture(QCoro::Task<T> task, std::shared_ptr<Outcome<std::conditional_t<std::is_void_v<T>, Nothing, T>>> outcome)
{
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            outcome->value = Nothing{};
        } else {
            outcome->value = co_await std::move(task);
        }
    } catch (...) {
        outcome->error = std::current_exception();
    }
    outcome->finished = true;
}

// Starts a task and hands back its outcome, filled in when it ends.
template<typename T>
auto start(QCoro::Task<T> task)
{
    using Value = std::conditional_t<std::is_void_v<T>, Nothing, T>;
    auto outcome = std::make_shared<Outcome<Value>>();
    capture<T>(std::move(task), outcome);
    return outcome;
}

template<typename Shared>
bool finish(const Shared &outcome)
{
    return waitUntil([&] { return outcome->finished; });
}

// Starts a task and waits for it.
template<typename T>
auto await(QCoro::Task<T> task)
{
    auto outcome = start(std::move(task));
    EXPECT_TRUE(finish(outcome)) << "the task did not finish";
    return outcome;
}

} // namespace velloran::test
