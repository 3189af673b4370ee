#pragma once

#include "wifi/NetworkManagerCache.h"
#include "wifi/WiFiPowerControlling.h"

#include <QDBusConnection>
#include <memory>

// Whether the Wi-Fi radio is powered, as NetworkManager's software and hardware switches say, read
// from the signal-fed cache: the every-second check costs no bus traffic.
class NetworkManagerWiFiPowerController : public WiFiPowerControlling {
public:
    // With a cache of its own on that bus.
    explicit NetworkManagerWiFiPowerController(QDBusConnection bus);
    explicit NetworkManagerWiFiPowerController(std::shared_ptr<NetworkManagerCache> cache);

    QCoro::Task<std::optional<bool>> currentPowerState() override;

private:
    std::shared_ptr<NetworkManagerCache> m_cache;
};
