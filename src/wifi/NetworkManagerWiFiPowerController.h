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
    // On the worker: whether a Wi-Fi device is there, re-reading the device list only when the one
    // seen last is gone (the check runs every second).
    bool hasWiFiDevice();

    NetworkManagerClient m_client;
    QString m_devicePath; // touched on the worker only
    SerialWorker m_worker{QStringLiteral("com.tolvek.brewbeacon.networkmanager.power")};
};
