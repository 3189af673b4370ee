#pragma once

#include "support/Logger.h"
#include "support/SerialWorker.h"
#include "wifi/NetworkManagerClient.h"
#include "wifi/PublicNetworkScoring.h"
#include "wifi/WiFiScanning.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <memory>

struct NetworkManagerInterfaceReading;

// Reads the default Wi-Fi device and the networks around it from NetworkManager. Every D-Bus call runs
// on the scanner's own serial worker: scans and name checks never overlap and never block the caller.
class NetworkManagerWiFiScanner : public WiFiScanning {
public:
    struct Options {
        // How long to wait for NetworkManager to finish a requested scan.
        std::chrono::milliseconds scanBound = std::chrono::seconds(10);
        // Scan requests closer together than this read the access points already known; NetworkManager
        // refuses them anyway, and scanning costs the radio airtime.
        std::chrono::milliseconds minimumScanInterval = std::chrono::seconds(5);
        QString linkStatisticsFile = QStringLiteral("/proc/net/wireless");
    };

    NetworkManagerWiFiScanner(QDBusConnection bus, std::shared_ptr<const PublicNetworkScoring> scorer);
    NetworkManagerWiFiScanner(QDBusConnection bus, std::shared_ptr<const PublicNetworkScoring> scorer, Options options);

    QCoro::Task<std::optional<QString>> currentSSID() override;
    QCoro::Task<WiFiSnapshot> latestSnapshot() override;

    // What a scan's access points become: scored, ranked, one per name.
    static QList<PublicNetworkCandidate> candidatesFrom(const QList<NetworkManagerAccessPoint>& points,
                                                        const PublicNetworkScoring& scorer);
    // The candidate for the joined network, from the device's own readings; none when not joined.
    static std::optional<PublicNetworkCandidate> currentCandidate(const NetworkManagerInterfaceReading& reading,
                                                                  const PublicNetworkScoring& scorer);

private:
    // The scan itself, on the worker thread.
    WiFiSnapshot scanNow();
    // The joined network's name, on the worker: from the device that last had one when it still has,
    // else from a fresh look at the devices.
    std::optional<QString> readCurrentSSID();
    // Asks for a fresh scan unless one was asked for moments ago; a failure that only means "too soon"
    // is no failure.
    std::optional<NetworkManagerFailure> requestScan(const NetworkManagerDevice& device);

    NetworkManagerClient m_client;
    std::shared_ptr<const PublicNetworkScoring> m_scorer;
    Options m_options;
    Logger m_logger{QStringLiteral("WiFiScanner")};
    QElapsedTimer m_sinceLastScanRequest; // touched on the worker only
    QString m_joinedDevicePath;           // touched on the worker only
    SerialWorker m_worker{QStringLiteral("com.tolvek.brewbeacon.networkmanager.scan")};
};
