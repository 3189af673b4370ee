#include "wifi/NetworkManagerWiFiPowerController.h"

NetworkManagerWiFiPowerController::NetworkManagerWiFiPowerController(QDBusConnection bus) : m_client(std::move(bus)) {}

QCoro::Task<std::optional<bool>> NetworkManagerWiFiPowerController::currentPowerState()
{
    auto job = [this]() -> std::optional<bool> {
        if (!hasWiFiDevice())
            return std::nullopt;
        // A power state NetworkManager did not give is unknown, never "off": the check then goes on and
        // the scan reports what NetworkManager says.
        return m_client.wirelessEnabled();
    };
    std::optional<bool> result = co_await m_worker.run(std::move(job));
    co_return result;
}

bool NetworkManagerWiFiPowerController::hasWiFiDevice()
{
    if (!m_devicePath.isEmpty()) {
        const std::optional<QVariant> type = m_client.property(m_devicePath, NetworkManagerDBus::deviceInterface(), QStringLiteral("DeviceType"));
        if (type && type->toUInt() == NetworkManagerDBus::deviceTypeWiFi)
            return true;
        m_devicePath.clear();
    }
    const std::optional<NetworkManagerDevice> device = m_client.defaultWiFiDevice();
    if (!device)
        return false;
    m_devicePath = device->path;
    return true;
}
