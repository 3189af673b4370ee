#include "wifi/NetworkManagerWiFiPowerController.h"

NetworkManagerWiFiPowerController::NetworkManagerWiFiPowerController(QDBusConnection bus) : m_client(std::move(bus)) {}

QCoro::Task<std::optional<bool>> NetworkManagerWiFiPowerController::currentPowerState()
{
    std::optional<bool> result = co_await m_worker.run([this]() -> std::optional<bool> {
        if (!m_client.defaultWiFiDevice())
            return std::nullopt;
        return m_client.wirelessEnabled().value_or(false);
    });
    co_return result;
}
