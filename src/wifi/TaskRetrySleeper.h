#pragma once

#include "support/CancellationToken.h"
#include "wifi/RetrySleeping.h"

#include <optional>

// Sleeps on the calling thread's event loop. With a token, a cancelled sleep ends early, without an
// error: the caller carries on as if the time had passed. Main thread only.
class TaskRetrySleeper : public RetrySleeping {
public:
    TaskRetrySleeper() = default;
    explicit TaskRetrySleeper(CancellationToken cancellation) : m_cancellation(std::move(cancellation)) {}

    QCoro::Task<> sleep(quint64 nanoseconds) override;
    QCoro::Task<> cancellableSleep(quint64 nanoseconds, CancellationToken cancellation) override;

private:
    std::optional<CancellationToken> m_cancellation;
};
