#pragma once

#include <atomic>
#include <memory>

// A shared flag a long-running coroutine checks after every suspension. Copies share one flag, so the
// owner keeps one copy to cancel and hands the others to the work it starts.
class CancellationToken {
public:
    CancellationToken();

    void cancel();
    bool isCancelled() const;

private:
    std::shared_ptr<std::atomic<bool>> m_cancelled;
};
