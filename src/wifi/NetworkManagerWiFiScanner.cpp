#include "wifi/NetworkManagerWiFiScanner.h"

#include "wifi/NetworkManagerInterfaceReading.h"
#include "wifi/NetworkSecurity.h"
#include "wifi/PublicNetworkRanking.h"
#include "wifi/QualityFormatter.h"
#include "wifi/WiFiSSIDText.h"

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
    : m_client(std::move(bus)), m_scorer(std::move(scorer)), m_options(std::move(options))
{
}

QCoro::Task<std::optional<QString>> NetworkManagerWiFiScanner::currentSSID()
{
    auto job = [this] { return readCurrentSSID(); };
    const std::optional<QString> ssid = co_await m_worker.run(std::move(job));
    m_logger.debug("Current SSID check: visible=%{bool,public}d", ssid.has_value());
    co_return ssid;
}

std::optional<QString> NetworkManagerWiFiScanner::readCurrentSSID()
{
    // Checked every second while joined: two small reads instead of listing every device.
    if (!m_joinedDevicePath.isEmpty()) {
        const std::optional<QByteArray> ssid = m_client.activeSSID(m_joinedDevicePath);
        if (ssid && !ssid->isEmpty())
            return WiFiSSIDText::decode(*ssid);
        m_joinedDevicePath.clear();
    }
    const std::optional<NetworkManagerDevice> device = m_client.defaultWiFiDevice();
    if (!device)
        return std::nullopt;
    const std::optional<NetworkManagerAccessPoint> point = m_client.activeAccessPoint(*device);
    if (!point || point->ssid.isEmpty())
        return std::nullopt;
    m_joinedDevicePath = device->path;
    return WiFiSSIDText::decode(point->ssid);
}

QCoro::Task<WiFiSnapshot> NetworkManagerWiFiScanner::latestSnapshot()
{
    WiFiSnapshot snapshot = co_await m_worker.run([this] { return scanNow(); });
    co_return snapshot;
}

std::optional<NetworkManagerFailure> NetworkManagerWiFiScanner::requestScan(const NetworkManagerDevice& device)
{
    if (m_sinceLastScanRequest.isValid() && std::chrono::milliseconds(m_sinceLastScanRequest.elapsed()) < m_options.minimumScanInterval)
        return std::nullopt;
    m_sinceLastScanRequest.start();
    std::optional<NetworkManagerFailure> failure = m_client.scan(device, {}, m_options.scanBound);
    if (failure && failure->meansRecentScanResults()) {
        m_logger.debug("Wi-Fi scan request declined, reading recent results: %{public}s", failure->message);
        return std::nullopt;
    }
    return failure;
}

WiFiSnapshot NetworkManagerWiFiScanner::scanNow()
{
    std::optional<NetworkManagerFailure> listing;
    const std::optional<NetworkManagerInterfaceReading> reading =
        NetworkManagerInterfaceReading::read(m_client, m_options.linkStatisticsFile, &listing);
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

    std::optional<NetworkManagerFailure> failure = requestScan(reading->device);
    QList<NetworkManagerAccessPoint> points;
    if (!failure)
        points = m_client.accessPoints(reading->device, &failure);
    if (failure) {
        m_logger.log("Wi-Fi scan failed: %{public}s", failure->message);
        WiFiSnapshot snapshot = failedSnapshot(QStringLiteral("Wi-Fi scan failed: ") + failure->message);
        snapshot.currentSSID = ssid;
        snapshot.currentNetwork = current;
        snapshot.interfaceDetails = details;
        return snapshot;
    }

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
    QList<PublicNetworkCandidate> candidates;
    candidates.reserve(points.size());
    for (const NetworkManagerAccessPoint& point : points) {
        if (std::optional<PublicNetworkCandidate> candidate = scorer.candidate(NetworkManagerScanRecords::record(point)))
            candidates.append(std::move(*candidate));
    }
    return uniqueCandidatesBySSID(rankedCandidates(std::move(candidates)));
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
