#include "connectivity/NetworkPathResumeOnce.h"

#include "connectivity/NetworkPathMonitor.h"

NetworkPathResumeOnce::NetworkPathResumeOnce(NetworkPathMonitor* monitor, QObject* parent)
    : QObject(parent), m_monitor(monitor)
{
}

bool NetworkPathResumeOnce::resume(NetworkPathStatus status)
{
    QPointer<NetworkPathMonitor> monitor;
    {
        std::lock_guard lock(m_lock);
        if (m_didResume)
            return false;
        m_didResume = true;
        m_answer = status;
        monitor = m_monitor;
    }
    if (monitor)
        QMetaObject::invokeMethod(monitor, &NetworkPathMonitor::cancel); // on the monitor's own thread
    // Queued even on this thread, so a waiter that checked answer() and then suspended never misses it.
    QMetaObject::invokeMethod(this, [this, status] { Q_EMIT answered(status); }, Qt::QueuedConnection);
    return true;
}

std::optional<NetworkPathStatus> NetworkPathResumeOnce::answer() const
{
    std::lock_guard lock(m_lock);
    if (!m_didResume)
        return std::nullopt;
    return m_answer;
}
