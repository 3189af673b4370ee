#pragma once

#include "connectivity/NetworkPathStatus.h"

#include <QObject>
#include <QPointer>
#include <mutex>
#include <optional>

class NetworkPathMonitor;

// The one-shot answer of a path reading, shared by the monitor's updates and the time-out. The first
// resume wins: it records the status, cancels the monitor and (queued, on this object's thread) emits
// answered; every later resume is ignored. Safe to call from any thread.
class NetworkPathResumeOnce : public QObject {
    Q_OBJECT
public:
    explicit NetworkPathResumeOnce(NetworkPathMonitor* monitor, QObject* parent = nullptr);

    // Returns whether this call gave the answer.
    bool resume(NetworkPathStatus status);
    std::optional<NetworkPathStatus> answer() const;

Q_SIGNALS:
    void answered(NetworkPathStatus status);

private:
    mutable std::mutex m_lock;
    bool m_didResume = false;
    NetworkPathStatus m_answer;
    QPointer<NetworkPathMonitor> m_monitor;
};
