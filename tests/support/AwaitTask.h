#pragma once

#include <QCoroTask>
#include <QEventLoop>
#include <QTimer>

#include <exception>
#include <optional>
#include <stdexcept>

namespace velloran::test {

namespace detail {

template<typename T>
QCoro::Task<> settle(QCoro::Task<T> task, std::optional<T> &result, std::exception_ptr &failure, bool &done, QEventLoop &loop)
{
    try {
        result.emplace(co_await task);
    } catch (...) {
        failure = std::current_exception();
    }
    done = true;
    loop.quit();
}

inline QCoro::Task<> settle(QCoro::Task<> task, std::exception_ptr &failure, bool &done, QEventLoop &loop)
{
    try {
        co_await task;
    } catch (...) {
        failure = std::current_exception();
    }
    done = true;
    loop.quit();
}

inline void runUntil(bool &done, QEventLoop &loop)
{
    if (done)
        return;
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    if (!done)
        throw std::runtime_error("the task did not finish within 30 s");
}

} // namespace detail

// Runs the event loop until the task ends and gives its value, or rethrows what it threw
// (QCoro::waitFor would wait for ever on a task that throws).
template<typename T>
T await(QCoro::Task<T> task)
{
    QEventLoop loop;
    std::optional<T> result;
    std::exception_ptr failure;
    bool done = false;
    auto settling = detail::settle(std::move(task), result, failure, done, loop);
    detail::runUntil(done, loop);
    if (failure)
        std::rethrow_exception(failure);
    return std::move(*result);
}

inline void await(QCoro::Task<> task)
{
    QEventLoop loop;
    std::exception_ptr failure;
    bool done = false;
    auto settling = detail::settle(std::move(task), failure, done, loop);
    detail::runUntil(done, loop);
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace velloran::test
