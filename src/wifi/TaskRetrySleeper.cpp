#include "wifi/TaskRetrySleeper.h"

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <coroutine>
#include <limits>
#include <utility>

namespace {

using namespace std::chrono;

// Qt timers take an int of milliseconds; longer sleeps are made of several.
constexpr milliseconds longestTimer(std::numeric_limits<int>::max());
// Keeps deadline arithmetic clear of overflow for absurd requests (about 146 years).
constexpr quint64 longestSleep = quint64(std::numeric_limits<qint64>::max() / 2);

// Resumes its coroutine when the time is up or the token is cancelled, whichever comes first. The
// cancellation wakes it at once, so a wait never keeps its coroutine past its owner's cancel. It stays
// put in the coroutine's frame; what co_await takes is a plain pointer to it (GCC 12 copies awaiters).
class TimeoutOrCancel {
public:
    TimeoutOrCancel(milliseconds wait, std::optional<CancellationToken> cancellation)
        : m_wait(wait), m_cancellation(std::move(cancellation))
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { wake(); });
    }
    TimeoutOrCancel(const TimeoutOrCancel&) = delete;
    TimeoutOrCancel& operator=(const TimeoutOrCancel&) = delete;
    ~TimeoutOrCancel()
    {
        if (m_cancellation && m_wake)
            m_cancellation->forget(m_wake);
    }

    struct Awaiter {
        TimeoutOrCancel* wait;
        bool await_ready() const noexcept { return wait->m_cancellation && wait->m_cancellation->isCancelled(); }
        bool await_suspend(std::coroutine_handle<> waiting) { return wait->suspend(waiting); }
        void await_resume() const noexcept {}
    };
    Awaiter elapsed() { return Awaiter{this}; }

private:
    bool suspend(std::coroutine_handle<> waiting)
    {
        if (m_cancellation) {
            m_wake = m_cancellation->whenCancelled([this] { wake(); });
            if (!m_wake)
                return false; // cancelled meanwhile
        }
        m_waiting = waiting;
        m_timer.start(m_wait);
        return true;
    }

    void wake()
    {
        if (!m_waiting)
            return;
        m_timer.stop();
        // Nothing of this object is touched after the resume: the coroutine may end and destroy it.
        std::exchange(m_waiting, nullptr).resume();
    }

    milliseconds m_wait;
    std::optional<CancellationToken> m_cancellation;
    QTimer m_timer;
    std::uint64_t m_wake = 0;
    std::coroutine_handle<> m_waiting;
};

QCoro::Task<> sleepUnlessCancelled(quint64 nanoseconds, std::optional<CancellationToken> cancellation)
{
    const auto requested = std::chrono::nanoseconds(qint64(std::min(nanoseconds, longestSleep)));
    // Timers count whole milliseconds; round up so a sleep is never shorter than asked.
    const auto deadline = steady_clock::now() + ceil<milliseconds>(requested);
    while (!(cancellation && cancellation->isCancelled())) {
        const auto left = ceil<milliseconds>(deadline - steady_clock::now());
        if (left <= milliseconds::zero())
            break;
        TimeoutOrCancel wait(std::min(left, longestTimer), cancellation);
        co_await wait.elapsed();
    }
}

} // namespace

QCoro::Task<> TaskRetrySleeper::sleep(quint64 nanoseconds)
{
    // The sleeper may go away while we wait: the sleep keeps its own copy of the token.
    return sleepUnlessCancelled(nanoseconds, m_cancellation);
}

QCoro::Task<> TaskRetrySleeper::cancellableSleep(quint64 nanoseconds, CancellationToken cancellation)
{
    return sleepUnlessCancelled(nanoseconds, std::move(cancellation));
}
