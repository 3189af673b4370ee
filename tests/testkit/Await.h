#pragma once

#include <QCoroTask>
#include <QDeadlineTimer>
#include <QCoreApplication>
#include <chrono>
#include <functional>

// Runs a coroutine to completion on the test's event loop.
template <typename T> T await(QCoro::Task<T>&& task)
{
    return QCoro::waitFor(std::move(task));
}

// Spins the event loop until the condition holds or the time runs out; returns whether it held.
inline bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}
