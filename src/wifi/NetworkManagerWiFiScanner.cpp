#include "wifi/NetworkManagerWiFiScanner.h"

#include "wifi/NetworkManagerInterfaceReading.h"
#include "wifi/NetworkSecurity.h"
#include "wifi/PublicNetworkRanking.h"
#include "wifi/QualityFormatter.h"
#include "wifi/WiFiSSIDText.h"

#include <QCoroDBusPendingCall>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <algorithm>

namespace {

WiFiSnapshot failedSnapshot(QString message)
{
    return WiFiSnapshot{ConnectionState::failed(std::move(message)), std::nullopt, {}, PortalState::unavailable(),
                        std::nullopt, std::nullopt, std::nullopt, QDateTime::currentDateTimeUtc()};
}

} // namespace

NetworkManagerWiFiScanner::NetworkManagerWiFiScanner(QDBusConnection bus, std::shared_ptr<const PublicNetworkScoring> scorer)
    : NetworkManagerWiFiScanner(std::move(bus), std::move(scorer), Options{})
{
}

NetworkManagerWiFiScanner::NetworkManagerWiFiScanner(QDBusConnection bus, std::shared_ptr<const PublicNetworkScoring> scorer,
                                                     Options options)
    : NetworkManagerWiFiScanner(std::make_shared<NetworkManagerCache>(std::move(bus)), std::move(scorer), std::move(options))
{
}

NetworkManagerWiFiScanner::NetworkManagerWiFiScanner(std::shared_ptr<NetworkManagerCache> cache,
                                                     std::shared_ptr<const PublicNetworkScoring> scorer, Options options)
    : m_cache(std::move(cache)), m_scorer(std::move(scorer)), m_options(std::move(options))
{
}

QCoro::Task<std::optional<QString>> NetworkManagerWiFiScanner::currentSSID()
{
    // Checked every second: memory only, and no waiting frame for a copy that is current.
    const std::shared_ptr<NetworkManagerCache> cache = m_cache;
    if (cache->isReading())
        co_await cache->ready();
    const std::optional<QByteArray> raw = cache->state().isPresent() ? cache->state().joinedSSID() : std::nullopt;
    const std::optional<QString> ssid = raw ? std::optional<QString>(WiFiSSIDText::decode(*raw)) : std::nullopt;
    m_logger.debug("Current SSID check: visible=%{bool,public}d", ssid.has_value());
    co_return ssid;
}

QCoro::Task<WiFiSnapshot> NetworkManagerWiFiScanner::latestSnapshot()
{
    const std::shared_ptr<NetworkManagerCache> cache = m_cache;
    co_await cache->ready();
    const NetworkManagerState before = cache->state();
    std::optional<NetworkManagerFailure> scanFailure;
    if (const std::optional<NetworkManagerDevice> device = before.isPresent() ? before.defaultWiFiDevice() : std::nullopt)
        scanFailure = co_await requestScan(*device);
    const NetworkManagerState after = cache->state();
    auto job = [this, before, after, scanFailure] { return snapshotFrom(before, after, scanFailure); };
    WiFiSnapshot snapshot = co_await m_worker.run(std::move(job));
    co_return snapshot;
}

QCoro::Task<std::optional<NetworkManagerFailure>> NetworkManagerWiFiScanner::requestScan(NetworkManagerDevice device)
{
    if (m_sinceLastScanRequest.isValid() && std::chrono::milliseconds(m_sinceLastScanRequest.elapsed()) < m_options.minimumScanInterval)
        co_return std::nullopt;
    m_sinceLastScanRequest.start();
    const std::shared_ptr<NetworkManagerCache> cache = m_cache;
    const Logger logger = m_logger;
    const std::chrono::milliseconds bound = m_options.scanBound;
    QDBusMessage call = QDBusMessage::createMethodCall(NetworkManagerDBus::service(), device.path,
                                                       NetworkManagerDBus::wirelessInterface(), QStringLiteral("RequestScan"));
    call << QVariantMap();
    const QDBusPendingCall pending = cache->bus().asyncCall(call, 5000);
    const QDBusMessage reply = co_await qCoro(pending).waitForFinished();
    if (reply.type() != QDBusMessage::ReplyMessage) {
        const NetworkManagerFailure failure = NetworkManagerFailure::callFailed(reply.errorMessage());
        if (failure.meansRecentScanResults()) {
            logger.debug("Wi-Fi scan request declined, reading recent results: %{public}s", failure.message);
            co_return std::nullopt;
        }
        co_return failure;
    }
    // Without LastScan there is nothing to wait on: the answer means the scan finished.
    if (!device.lastScan)
        co_return std::nullopt;
    const bool finished = co_await cache->scanFinished(device.path, device.lastScan, bound);
    if (finished)
        co_return std::nullopt;
    if (!cache->state().devices.contains(device.path))
        co_return NetworkManagerFailure::callFailed(QStringLiteral("The Wi-Fi device disappeared during the scan."));
    co_return NetworkManagerFailure::timedOut(QStringLiteral("The Wi-Fi scan did not finish in time."));
}

WiFiSnapshot NetworkManagerWiFiScanner::snapshotFrom(const NetworkManagerState& before, const NetworkManagerState& after,
                                                     std::optional<NetworkManagerFailure> failure) const
{
    std::optional<NetworkManagerFailure> listing;
    const std::optional<NetworkManagerInterfaceReading> reading =
        NetworkManagerInterfaceReading::read(before, m_options.linkStatisticsFile, &listing);
    if (!reading && listing) {
        // NetworkManager did not answer: that is no proof there is no Wi-Fi device.
        m_logger.log("Wi-Fi scan failed: %{public}s", listing->message);
        return failedSnapshot(QStringLiteral("Wi-Fi scan failed: ") + listing->message);
    }
    if (!reading) {
        m_logger.log("Wi-Fi scan failed: no NetworkManager Wi-Fi device");
        return failedSnapshot(QStringLiteral("No Wi-Fi interface is available on this computer."));
    }
    const std::optional<QString> ssid = reading->ssid;
    const WiFiInterfaceDetails details = reading->details();
    const std::optional<PublicNetworkCandidate> current = currentCandidate(*reading, *m_scorer);
    m_logger.debug("Wi-Fi scan started: interface=%{public}s, powerOn=%{bool,public}d, serviceActive=%{bool,public}d, "
                   "hasCurrentSSID=%{public}s",
                   details.interfaceName.value_or(QStringLiteral("unknown")), reading->powerOn, reading->serviceActive,
                   ssid ? QStringLiteral("true") : QStringLiteral("false"));

    const QString devicePath = reading->device.path;
    if (!failure && !after.devices.contains(devicePath))
        failure = NetworkManagerFailure::callFailed(QStringLiteral("The Wi-Fi device disappeared during the scan."));
    if (!failure && after.listingFailures.contains(devicePath))
        failure = NetworkManagerFailure::callFailed(after.listingFailures.value(devicePath));
    if (failure) {
        m_logger.log("Wi-Fi scan failed: %{public}s", failure->message);
        WiFiSnapshot snapshot = failedSnapshot(QStringLiteral("Wi-Fi scan failed: ") + failure->message);
        snapshot.currentSSID = ssid;
        snapshot.currentNetwork = current;
        snapshot.interfaceDetails = details;
        return snapshot;
    }

    const QList<NetworkManagerAccessPoint> points = after.accessPointsOf(devicePath);
    const QList<PublicNetworkCandidate> unique = candidatesFrom(points, *m_scorer);
    const auto openCount = std::count_if(unique.begin(), unique.end(), [](const auto& c) { return c.isOpen(); });
    m_logger.debug("Wi-Fi scan completed: rawNetworks=%{public}ld, uniqueCandidates=%{public}ld, openCandidates=%{public}ld",
                   qint64(points.size()), qint64(unique.size()), qint64(openCount));

    WiFiSnapshot snapshot;
    snapshot.connectionState = ssid ? ConnectionState::connected(*ssid) : ConnectionState::ready();
    if (!unique.isEmpty())
        snapshot.bestNetwork = unique.constFirst();
    snapshot.candidates = unique;
    snapshot.portalState = PortalState::unknown();
    snapshot.currentSSID = ssid;
    snapshot.currentNetwork = current;
    snapshot.interfaceDetails = details;
    snapshot.lastUpdated = QDateTime::currentDateTimeUtc();
    return snapshot;
}

QList<PublicNetworkCandidate> NetworkManagerWiFiScanner::candidatesFrom(const QList<NetworkManagerAccessPoint>& points,
                                                                         const PublicNetworkScoring& scorer)
{
    QList<ScannedNetworkRecord> records;
    records.reserve(points.size());
    for (const NetworkManagerAccessPoint& point : points)
        records.append(NetworkManagerScanRecords::record(point));
    return rankedUniqueCandidates(records, scorer);
}

std::optional<PublicNetworkCandidate> NetworkManagerWiFiScanner::currentCandidate(const NetworkManagerInterfaceReading& reading,
                                                                                  const PublicNetworkScoring& scorer)
{
    if (!reading.ssid || reading.ssid->trimmed().isEmpty())
        return std::nullopt;
    const NetworkSecurity security = networkSecurity(reading.security);
    const WiFiInterfaceDetails details = reading.details();
    PublicNetworkCandidate candidate;
    candidate.ssid = *reading.ssid;
    candidate.security = security;
    candidate.rssi = reading.rssi;
    candidate.noise = reading.noise;
    candidate.quality = scorer.score(*reading.ssid, reading.rssi, reading.noise, security);
    // The label describes the signal alone: what these readings would score as a nameless open network.
    candidate.detail = candidateDetail(scorer.score(QString(), reading.rssi, reading.noise, NetworkSecurity::open), security);
    candidate.bssid = details.bssid;
    candidate.channel = details.channel;
    candidate.transmitRate = details.transmitRate;
    candidate.phyMode = details.phyMode;
    return candidate;
}
