#pragma once

#include "support/CancellationToken.h"

#include <QCoroTask>
#include <QtGlobal>

// Waits between attempts. Never fails; a wait may end early when its work is cancelled.
class RetrySleeping {
public:
    virtual ~RetrySleeping() = default;
    virtual QCoro::Task<> sleep(quint64 nanoseconds) = 0;
    // As sleep(), but ends at once, as if the time had passed, when the token is cancelled: the work
    // that waits does not outlive its owner by the rest of the wait.
    virtual QCoro::Task<> cancellableSleep(quint64 nanoseconds, CancellationToken) { return sleep(nanoseconds); }
};
