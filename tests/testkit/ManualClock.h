#pragma once

#include "support/Clock.h"


// A clock that only moves when the test says so.
class ManualClock final : public Clock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2025, 3, 1), QTime(9, 0), Qt::UTC)) : m_now(start) {}

    QDateTime now() const override { return m_now; }
    void advance(double seconds) { m_now = m_now.addMSecs(qint64(seconds * 1000)); }
    void set(QDateTime now) { m_now = std::move(now); }

private:
    QDateTime m_now;
};
