#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

// A shared flag a long-running coroutine checks after every suspension. Copies share one flag, so the
// owner keeps one copy to cancel and hands the others to the work it starts. A wait can ask to be woken
// by the cancellation, so the work it holds ends then rather than when the wait would have.
class CancellationToken {
public:
    CancellationToken();

    // Sets the flag, then runs the wake-ups registered so far (each once).
    void cancel();
    bool isCancelled() const;

    // Runs wake when the token is cancelled. Returns 0 without registering when it already is; a wait
    // that ends otherwise forgets its wake-up by the id returned.
    std::uint64_t whenCancelled(std::function<void()> wake);
    void forget(std::uint64_t id);

private:
    struct State {
        std::atomic<bool> cancelled = false;
        std::mutex mutex;
        std::map<std::uint64_t, std::function<void()>> wakes;
        std::uint64_t lastId = 0;
    };
    std::shared_ptr<State> m_state;
};
