#pragma once

#include "connectivity/NetworkPathMonitoring.h"

#include <chrono>
#include <functional>
#include <memory>

class NetworkManagerCache;
class NetworkPathMonitor;

// Takes one path reading per call: the monitor's first update, or `unsatisfied` when none arrives
// within the time-out. Nothing keeps running between calls. The installed monitor reads the
// signal-fed NetworkManager cache of the system bus.
class NetworkPathService : public NetworkPathMonitoring {
public:
    using MonitorFactory = std::function<std::unique_ptr<NetworkPathMonitor>()>;

    static constexpr std::chrono::milliseconds defaultTimeout{1500};

    NetworkPathService();
    explicit NetworkPathService(std::shared_ptr<NetworkManagerCache> cache);
    explicit NetworkPathService(MonitorFactory makeMonitor, std::chrono::milliseconds timeout = defaultTimeout);

    QCoro::Task<NetworkPathStatus> currentStatus() override;

private:
    // With it, the every-second reading is the cache's, and no monitor is made while it has one.
    std::shared_ptr<NetworkManagerCache> m_cache;
    MonitorFactory m_makeMonitor;
    std::chrono::milliseconds m_timeout;
};
