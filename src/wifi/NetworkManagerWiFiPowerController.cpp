#include "wifi/NetworkManagerWiFiPowerController.h"

NetworkManagerWiFiPowerController::NetworkManagerWiFiPowerController(QDBusConnection bus)
    : NetworkManagerWiFiPowerController(std::make_shared<NetworkManagerCache>(std::move(bus)))
{
}

NetworkManagerWiFiPowerController::NetworkManagerWiFiPowerController(std::shared_ptr<NetworkManagerCache> cache)
    : m_cache(std::move(cache))
{
}

QCoro::Task<std::optional<bool>> NetworkManagerWiFiPowerController::currentPowerState()
{
    const std::shared_ptr<NetworkManagerCache> cache = m_cache; // outlives this frame's suspension
    if (cache->isReading()) // no waiting frame for a copy that is current
        co_await cache->ready();
    const NetworkManagerState& state = cache->state();
    if (!state.isPresent() || !state.defaultWiFiDevice())
        co_return std::nullopt;
    // A power state NetworkManager did not give is unknown, never "off": the check then goes on and
    // the scan reports what NetworkManager says.
    co_return state.powerOn();
}
