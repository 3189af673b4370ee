#include "wifi/TaskRetrySleeper.h"

#include <QCoroTimer>
#include <algorithm>
#include <chrono>
#include <limits>

namespace {

using namespace std::chrono;

// The token is a plain flag, so a cancellable sleep wakes this often to look at it.
constexpr milliseconds cancellationPollInterval(50);
// Qt timers take an int of milliseconds; longer sleeps are made of several.
constexpr milliseconds longestTimer(std::numeric_limits<int>::max());
// Keeps deadline arithmetic clear of overflow for absurd requests (about 146 years).
constexpr quint64 longestSleep = quint64(std::numeric_limits<qint64>::max() / 2);

} // namespace

QCoro::Task<> TaskRetrySleeper::sleep(quint64 nanoseconds)
{
    const auto cancellation = m_cancellation; // the sleeper may go away while we wait
    const auto requested = std::chrono::nanoseconds(qint64(std::min(nanoseconds, longestSleep)));
    // Timers count whole milliseconds; round up so a sleep is never shorter than asked.
    const auto deadline = steady_clock::now() + ceil<milliseconds>(requested);
    const auto slice = cancellation ? cancellationPollInterval : longestTimer;
    while (!(cancellation && cancellation->isCancelled())) {
        const auto left = ceil<milliseconds>(deadline - steady_clock::now());
        if (left <= milliseconds::zero())
            break;
        co_await QCoro::sleepFor(std::min(left, slice));
    }
}
