#pragma once

#include <QCoroTask>
#include <QtGlobal>

// Waits between attempts. Never fails; a wait may end early when its work is cancelled.
class RetrySleeping {
public:
    virtual ~RetrySleeping() = default;
    virtual QCoro::Task<> sleep(quint64 nanoseconds) = 0;
};
