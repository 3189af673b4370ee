#include "connectivity/NetworkPathService.h"

#include "connectivity/NetworkManagerPathMonitor.h"
#include "connectivity/NetworkPathResumeOnce.h"
#include "wifi/NetworkManagerCache.h"

#include <QCoroSignal>
#include <QTimer>

NetworkPathService::NetworkPathService() : NetworkPathService(NetworkManagerCache::system()) {}

NetworkPathService::NetworkPathService(std::shared_ptr<NetworkManagerCache> cache)
    : NetworkPathService([cache] { return std::make_unique<NetworkManagerPathMonitor>(cache); })
{
    m_cache = std::move(cache);
}

NetworkPathService::NetworkPathService(MonitorFactory makeMonitor, std::chrono::milliseconds timeout)
    : m_makeMonitor(std::move(makeMonitor)), m_timeout(timeout)
{
}

QCoro::Task<NetworkPathStatus> NetworkPathService::currentStatus()
{
    // The every-second reading while the system's state is loaded: no monitor, no time-out, no
    // queued answer.
    if (m_cache) {
        if (const std::optional<NetworkPathStatus> known = NetworkManagerPathMonitor::knownStatus(*m_cache))
            co_return *known;
    }
    // Everything this reading needs lives in this frame; `this` is not touched after suspending.
    const std::unique_ptr<NetworkPathMonitor> monitor = m_makeMonitor();
    if (const std::optional<NetworkPathStatus> known = monitor->knownStatus())
        co_return *known;
    const auto once = std::make_unique<NetworkPathResumeOnce>(monitor.get());
    NetworkPathResumeOnce* guard = once.get();

    QObject::connect(
        monitor.get(), &NetworkPathMonitor::pathUpdated, guard,
        [guard](NetworkPathStatus status) { guard->resume(status); }, Qt::DirectConnection);
    QTimer::singleShot(m_timeout, guard, [guard] { guard->resume(NetworkPathStatus::unsatisfied()); });
    monitor->start();

    if (const auto answer = guard->answer())
        co_return *answer;
    co_return co_await qCoro(guard, &NetworkPathResumeOnce::answered);
}
