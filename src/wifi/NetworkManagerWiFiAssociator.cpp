#include "wifi/NetworkManagerWiFiAssociator.h"

#include "wifi/NetworkManagerInterfaceReading.h"
#include "wifi/NetworkManagerSecurity.h"
#include "wifi/NetworkManagerValues.h"
#include "wifi/WiFiRadioEstimates.h"
#include "wifi/WiFiSSIDText.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>

using namespace NetworkManagerDBus;

namespace {

constexpr int callTimeoutMs = 25000; // activation requests may wait on a polkit answer
constexpr unsigned long activationPollIntervalMs = 100;

} // namespace

NetworkManagerWiFiAssociator::NetworkManagerWiFiAssociator(QDBusConnection bus)
    : NetworkManagerWiFiAssociator(std::move(bus), Options{})
{
}

NetworkManagerWiFiAssociator::NetworkManagerWiFiAssociator(QDBusConnection bus, Options options)
    : m_client(std::move(bus)), m_options(options)
{
}

QCoro::Task<WiFiAssociationStatus> NetworkManagerWiFiAssociator::associate(PublicNetworkCandidate candidate)
{
    // The job is a named local: GCC 12 destroys a lambda written inside a co_await expression twice,
    // which released the candidate's strings while other copies still used them.
    auto job = [this, candidate = std::move(candidate)] { return associateNow(candidate); };
    WiFiAssociationStatus result = co_await m_worker.run(std::move(job));
    co_return result;
}

bool NetworkManagerWiFiAssociator::isSameNetwork(const PublicNetworkCandidate& candidate, const QByteArray& ssid)
{
    if (ssid.isEmpty())
        return false;
    return candidate.ssidBytes.isEmpty() ? WiFiSSIDText::decode(ssid) == candidate.ssid : ssid == candidate.ssidBytes;
}

std::optional<NetworkManagerAccessPoint> NetworkManagerWiFiAssociator::bestMatch(const PublicNetworkCandidate& candidate,
                                                                                 const QList<NetworkManagerAccessPoint>& points)
{
    std::optional<NetworkManagerAccessPoint> best;
    for (const NetworkManagerAccessPoint& point : points) {
        if (!isSameNetwork(candidate, point.ssid) || !NetworkManagerSecurity::isOpen(point))
            continue;
        if (!best || point.strength > best->strength)
            best = point;
    }
    return best;
}

WiFiAssociationStatus NetworkManagerWiFiAssociator::associateNow(const PublicNetworkCandidate& candidate)
{
    std::optional<NetworkManagerFailure> listing;
    const std::optional<NetworkManagerInterfaceReading> reading =
        NetworkManagerInterfaceReading::read(m_client, QStringLiteral("/proc/net/wireless"), &listing);
    if (!reading && listing) {
        m_logger.log("Association failed: %{public}s", listing->message);
        return WiFiAssociationStatus::failed(listing->message);
    }
    if (!reading) {
        m_logger.log("Association failed: no Wi-Fi interface");
        return WiFiAssociationStatus::interfaceUnavailable();
    }
    // An unread power state is not "off": the join fails with NetworkManager's own words.
    if (reading->powerFailure) {
        m_logger.log("Association failed: %{public}s", *reading->powerFailure);
        return WiFiAssociationStatus::failed(*reading->powerFailure);
    }
    if (!reading->powerOn) {
        m_logger.log("Association failed: Wi-Fi power is off");
        return WiFiAssociationStatus::wifiOff();
    }
    if (!reading->serviceActive) {
        m_logger.log("Association failed: Wi-Fi service is inactive");
        return WiFiAssociationStatus::serviceInactive();
    }
    if (reading->activeAccessPoint && isSameNetwork(candidate, reading->activeAccessPoint->ssid)) {
        m_logger.debug("Association skipped: already associated");
        return WiFiAssociationStatus::alreadyAssociated();
    }

    // A directed scan needs the name's bytes; a name shown with escapes for invalid UTF-8 has no exact
    // byte form here, so it gets a full scan instead.
    const QByteArray bytes = candidate.rawSSID();
    const QList<QByteArray> names = !candidate.ssidBytes.isEmpty() || WiFiSSIDText::decode(bytes) == candidate.ssid
        ? QList<QByteArray>{bytes}
        : QList<QByteArray>{};
    if (const std::optional<NetworkManagerFailure> failure = m_client.scan(reading->device, names, m_options.scanBound);
        failure && !failure->meansRecentScanResults()) {
        m_logger.log("Association failed: %{public}s", failure->message);
        return WiFiAssociationStatus::failed(failure->message);
    }
    std::optional<NetworkManagerFailure> listingFailure;
    const QList<NetworkManagerAccessPoint> points = m_client.accessPoints(reading->device, &listingFailure);
    if (listingFailure) {
        m_logger.log("Association failed: %{public}s", listingFailure->message);
        return WiFiAssociationStatus::failed(listingFailure->message);
    }
    const auto named = std::count_if(points.begin(), points.end(),
                                     [&](const auto& point) { return isSameNetwork(candidate, point.ssid); });
    m_logger.debug("Association scan found %{public}ld networks", qint64(named));

    const std::optional<NetworkManagerAccessPoint> match = bestMatch(candidate, points);
    if (!match) {
        m_logger.log("Association failed: network disappeared before join");
        return WiFiAssociationStatus::networkNotFound();
    }
    if (const std::optional<QString> error = join(reading->device, *match)) {
        m_logger.log("Association failed: %{public}s", *error);
        return WiFiAssociationStatus::failed(*error);
    }
    m_logger.log("Association succeeded");
    return WiFiAssociationStatus::associated();
}

std::optional<QString> NetworkManagerWiFiAssociator::savedOpenConnection(const NetworkManagerDevice& device,
                                                                        const QByteArray& ssid) const
{
    for (const QString& path : device.availableConnections) {
        const QDBusMessage call = QDBusMessage::createMethodCall(service(), path, settingsConnectionInterface(),
                                                                 QStringLiteral("GetSettings"));
        const QDBusMessage reply = m_client.bus().call(call, QDBus::Block, callTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            continue;
        const NetworkManagerSettings settings = NetworkManagerValues::settings(reply.arguments().constFirst());
        // Only a profile without security settings is reused: joining never supplies credentials.
        if (settings.value(QStringLiteral("802-11-wireless")).value(QStringLiteral("ssid")).toByteArray() == ssid
            && !settings.contains(QStringLiteral("802-11-wireless-security")))
            return path;
    }
    return std::nullopt;
}

std::optional<QString> NetworkManagerWiFiAssociator::join(const NetworkManagerDevice& device, const NetworkManagerAccessPoint& point)
{
    QDBusMessage call;
    if (const std::optional<QString> saved = savedOpenConnection(device, point.ssid)) {
        call = QDBusMessage::createMethodCall(service(), managerPath(), managerInterface(), QStringLiteral("ActivateConnection"));
        call << QVariant::fromValue(QDBusObjectPath(*saved)) << QVariant::fromValue(QDBusObjectPath(device.path))
             << QVariant::fromValue(QDBusObjectPath(point.path));
    } else {
        NetworkManagerSettings settings;
        settings[QStringLiteral("connection")] = QVariantMap{{QStringLiteral("type"), QStringLiteral("802-11-wireless")},
                                                             {QStringLiteral("id"), WiFiSSIDText::decode(point.ssid)}};
        settings[QStringLiteral("802-11-wireless")] = QVariantMap{{QStringLiteral("ssid"), point.ssid},
                                                                  {QStringLiteral("mode"), QStringLiteral("infrastructure")}};
        call = QDBusMessage::createMethodCall(service(), managerPath(), managerInterface(), QStringLiteral("AddAndActivateConnection"));
        call << QVariant::fromValue(settings) << QVariant::fromValue(QDBusObjectPath(device.path))
             << QVariant::fromValue(QDBusObjectPath(point.path));
    }
    const QDBusMessage reply = m_client.bus().call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return reply.errorMessage().isEmpty() ? QStringLiteral("NetworkManager did not accept the join.") : reply.errorMessage();
    // ActivateConnection answers (active); AddAndActivateConnection answers (settings, active).
    const QString active = NetworkManagerValues::objectPath(reply.arguments().constLast());
    return waitForActivation(active, device.path);
}

std::optional<QString> NetworkManagerWiFiAssociator::waitForActivation(const QString& activeConnection, const QString& devicePath)
{
    QDeadlineTimer deadline(m_options.activationBound);
    while (true) {
        std::optional<NetworkManagerFailure> failure;
        const QVariantMap active = m_client.properties(activeConnection, activeConnectionInterface(), &failure);
        const quint32 state = active.value(QStringLiteral("State")).toUInt();
        if (state == activeStateActivated)
            return std::nullopt;
        // A finished activation's object goes away; the device's reason says why it ended.
        if (state == activeStateDeactivated || failure) {
            const quint32 reason = m_client.device(devicePath).value_or(NetworkManagerDevice{}).stateReason;
            return QStringLiteral("NetworkManager could not join the network (device state reason %1).").arg(reason);
        }
        if (deadline.hasExpired())
            return QStringLiteral("The join did not finish in time.");
        QThread::msleep(activationPollIntervalMs);
    }
}
