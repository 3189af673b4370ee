#pragma once

#include "support/SerialWorker.h"
#include "wifi/NetworkManagerClient.h"
#include "wifi/WiFiPowerControlling.h"

#include <QDBusConnection>

// Whether the Wi-Fi radio is powered, as NetworkManager's software and hardware switches say. Runs on
// its own serial worker, independent of scans.
class NetworkManagerWiFiPowerController : public WiFiPowerControlling {
public:
    explicit NetworkManagerWiFiPowerController(QDBusConnection bus);

    QCoro::Task<std::optional<bool>> currentPowerState() override;

private:
    NetworkManagerClient m_client;
    SerialWorker m_worker{QStringLiteral("com.tolvek.brewbeacon.networkmanager.power")};
};
