#pragma once

#include "support/Logger.h"
#include "support/SerialWorker.h"
#include "wifi/NetworkManagerCache.h"
#include "wifi/PublicNetworkScoring.h"
#include "wifi/WiFiScanning.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <memory>

struct NetworkManagerInterfaceReading;

// Reads the default Wi-Fi device and the networks around it from the signal-fed NetworkManager cache.
// The only call it makes is the scan request, asynchronously, after which it waits for the cache to
// see the scan finish; snapshots are built on the scanner's own serial worker, never blocking the caller.
class NetworkManagerWiFiScanner : public WiFiScanning {
public:
    struct Options {
        // How long to wait for NetworkManager to finish a requested scan.
        std::chrono::milliseconds scanBound = std::chrono::seconds(10);
        // Scan requests closer together than this read the access points already known: NetworkManager
        // refuses them anyway, keeps the list current from its own scans, and scanning costs the radio
        // airtime. The joined network's details are re-scanned every 10 s; so are the networks around
        // when not joined, while the checks in between read the list as NetworkManager keeps it.
        std::chrono::milliseconds minimumScanInterval = std::chrono::seconds(10);
        QString linkStatisticsFile = QStringLiteral("/proc/net/wireless");
    };

    // With a cache of its own on that bus.
    NetworkManagerWiFiScanner(QDBusConnection bus, std::shared_ptr<const PublicNetworkScoring> scorer);
    NetworkManagerWiFiScanner(QDBusConnection bus, std::shared_ptr<const PublicNetworkScoring> scorer, Options options);
    NetworkManagerWiFiScanner(std::shared_ptr<NetworkManagerCache> cache, std::shared_ptr<const PublicNetworkScoring> scorer,
                              Options options);

    QCoro::Task<std::optional<QString>> currentSSID() override;
    QCoro::Task<WiFiSnapshot> latestSnapshot() override;

    // What a scan's access points become: scored, ranked, one per name.
    static QList<PublicNetworkCandidate> candidatesFrom(const QList<NetworkManagerAccessPoint>& points,
                                                        const PublicNetworkScoring& scorer);
    // The candidate for the joined network, from the device's own readings; none when not joined.
    static std::optional<PublicNetworkCandidate> currentCandidate(const NetworkManagerInterfaceReading& reading,
                                                                  const PublicNetworkScoring& scorer);

private:
    // The snapshot from the cache as it was before the scan (the interface) and after it (the networks),
    // on the worker thread.
    WiFiSnapshot snapshotFrom(const NetworkManagerState& before, const NetworkManagerState& after,
                              std::optional<NetworkManagerFailure> scanFailure) const;
    // Asks for a fresh scan unless one was asked for moments ago, and waits for it to finish; a failure
    // that only means "too soon" is no failure.
    QCoro::Task<std::optional<NetworkManagerFailure>> requestScan(NetworkManagerDevice device);

    std::shared_ptr<NetworkManagerCache> m_cache;
    std::shared_ptr<const PublicNetworkScoring> m_scorer;
    Options m_options;
    Logger m_logger{QStringLiteral("WiFiScanner")};
    QElapsedTimer m_sinceLastScanRequest;
    SerialWorker m_worker{QStringLiteral("com.tolvek.brewbeacon.networkmanager.scan")};
};
