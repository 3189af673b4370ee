#include "wifi/NetworkManagerClient.h"

#include "wifi/NetworkManagerValues.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>

using namespace NetworkManagerDBus;

namespace {

constexpr int callTimeoutMs = 5000;
constexpr unsigned long scanPollIntervalMs = 100;

QString pathOrEmpty(const QString& path) { return path == QLatin1String("/") ? QString() : path; }

NetworkManagerFailure failureOf(const QDBusMessage& reply)
{
    if (reply.type() == QDBusMessage::ReplyMessage)
        return NetworkManagerFailure::callFailed(QStringLiteral("NetworkManager gave an empty answer."));
    const QString message = reply.errorMessage().isEmpty() ? QStringLiteral("NetworkManager did not answer.")
                                                           : reply.errorMessage();
    return reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply") ? NetworkManagerFailure::timedOut(message)
                                                                                    : NetworkManagerFailure::callFailed(message);
}

} // namespace

NetworkManagerClient::NetworkManagerClient(QDBusConnection bus) : m_bus(std::move(bus))
{
    NetworkManagerValues::registerTypes();
}

QVariantMap NetworkManagerClient::properties(const QString& path, const QString& interface,
                                             std::optional<NetworkManagerFailure>* failure) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(service(), path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("GetAll"));
    call << interface;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        if (failure)
            *failure = failureOf(reply);
        return {};
    }
    return NetworkManagerValues::variantMap(reply.arguments().constFirst());
}

std::optional<QVariant> NetworkManagerClient::property(const QString& path, const QString& interface, const QString& name) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(service(), path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("Get"));
    call << interface << name;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    const QVariant value = reply.arguments().constFirst();
    return value.canConvert<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
}

std::optional<QByteArray> NetworkManagerClient::activeSSID(const QString& devicePath) const
{
    const std::optional<QVariant> active = property(devicePath, wirelessInterface(), QStringLiteral("ActiveAccessPoint"));
    if (!active)
        return std::nullopt;
    const QString point = pathOrEmpty(NetworkManagerValues::objectPath(*active));
    if (point.isEmpty())
        return QByteArray();
    const std::optional<QVariant> ssid = property(point, accessPointInterface(), QStringLiteral("Ssid"));
    return ssid ? ssid->toByteArray() : QByteArray();
}

std::optional<NetworkManagerDevice> NetworkManagerClient::device(const QString& path) const
{
    return device(path, properties(path, deviceInterface()));
}

std::optional<NetworkManagerDevice> NetworkManagerClient::device(const QString& path, const QVariantMap& general) const
{
    if (general.isEmpty())
        return std::nullopt;
    NetworkManagerDevice device;
    device.path = path;
    device.interfaceName = general.value(QStringLiteral("Interface")).toString();
    device.state = general.value(QStringLiteral("State")).toUInt();
    device.stateReason = NetworkManagerValues::stateReason(general.value(QStringLiteral("StateReason")));
    device.managed = general.value(QStringLiteral("Managed"), true).toBool();
    device.availableConnections = NetworkManagerValues::objectPaths(general.value(QStringLiteral("AvailableConnections")));
    device.activeConnectionPath = pathOrEmpty(NetworkManagerValues::objectPath(general.value(QStringLiteral("ActiveConnection"))));
    if (general.value(QStringLiteral("DeviceType")).toUInt() != deviceTypeWiFi)
        return device;
    const QVariantMap wireless = properties(path, wirelessInterface());
    device.bitrateKbps = wireless.value(QStringLiteral("Bitrate")).toUInt();
    device.activeAccessPointPath = pathOrEmpty(NetworkManagerValues::objectPath(wireless.value(QStringLiteral("ActiveAccessPoint"))));
    if (wireless.contains(QStringLiteral("LastScan")))
        device.lastScan = wireless.value(QStringLiteral("LastScan")).toLongLong();
    return device;
}

std::optional<NetworkManagerDevice> NetworkManagerClient::defaultWiFiDevice(std::optional<NetworkManagerFailure>* failure) const
{
    const QDBusMessage call = QDBusMessage::createMethodCall(service(), managerPath(), managerInterface(),
                                                             QStringLiteral("GetDevices"));
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        if (failure)
            *failure = failureOf(reply);
        return std::nullopt;
    }
    std::optional<NetworkManagerDevice> first;
    for (const QString& path : NetworkManagerValues::objectPaths(reply.arguments().constFirst())) {
        const QVariantMap general = properties(path, deviceInterface());
        if (general.value(QStringLiteral("DeviceType")).toUInt() != deviceTypeWiFi)
            continue;
        // The device's own properties were just read; only the wireless ones are still needed.
        std::optional<NetworkManagerDevice> candidate = device(path, general);
        if (!candidate)
            continue;
        if (candidate->state == deviceStateActivated)
            return candidate;
        if (!first)
            first = candidate;
    }
    return first;
}

std::optional<bool> NetworkManagerClient::wirelessEnabled(std::optional<NetworkManagerFailure>* failure) const
{
    std::optional<NetworkManagerFailure> callFailure;
    const QVariantMap manager = properties(managerPath(), managerInterface(), &callFailure);
    if (!manager.contains(QStringLiteral("WirelessEnabled"))) {
        if (failure)
            *failure = callFailure.value_or(NetworkManagerFailure::callFailed(
                QStringLiteral("NetworkManager did not report whether Wi-Fi is switched on.")));
        return std::nullopt;
    }
    return manager.value(QStringLiteral("WirelessEnabled")).toBool()
        && manager.value(QStringLiteral("WirelessHardwareEnabled"), true).toBool();
}

std::optional<NetworkManagerAccessPoint> NetworkManagerClient::accessPoint(const QString& path) const
{
    const QVariantMap values = properties(path, accessPointInterface());
    if (values.isEmpty())
        return std::nullopt;
    NetworkManagerAccessPoint point;
    point.path = path;
    point.ssid = values.value(QStringLiteral("Ssid")).toByteArray();
    point.bssid = values.value(QStringLiteral("HwAddress")).toString();
    point.flags = values.value(QStringLiteral("Flags")).toUInt();
    point.wpaFlags = values.value(QStringLiteral("WpaFlags")).toUInt();
    point.rsnFlags = values.value(QStringLiteral("RsnFlags")).toUInt();
    point.frequencyMHz = values.value(QStringLiteral("Frequency")).toUInt();
    point.maxBitrateKbps = values.value(QStringLiteral("MaxBitrate")).toUInt();
    point.strength = quint8(values.value(QStringLiteral("Strength")).toUInt());
    return point;
}

QList<NetworkManagerAccessPoint> NetworkManagerClient::accessPoints(const NetworkManagerDevice& device,
                                                                   std::optional<NetworkManagerFailure>* failure) const
{
    QDBusMessage call = QDBusMessage::createMethodCall(service(), device.path, wirelessInterface(),
                                                       QStringLiteral("GetAllAccessPoints"));
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    QStringList paths;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        paths = NetworkManagerValues::objectPaths(reply.arguments().constFirst());
    } else if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod")) {
        // Versions without the method list the points as a property.
        std::optional<NetworkManagerFailure> propertyFailure;
        const QVariantMap wireless = properties(device.path, wirelessInterface(), &propertyFailure);
        if (propertyFailure) {
            if (failure)
                *failure = propertyFailure;
            return {};
        }
        paths = NetworkManagerValues::objectPaths(wireless.value(QStringLiteral("AccessPoints")));
    } else {
        if (failure)
            *failure = failureOf(reply);
        return {};
    }
    QList<NetworkManagerAccessPoint> points;
    points.reserve(paths.size());
    for (const QString& path : paths) {
        // An access point can vanish between the listing and the read; it is simply not there any more.
        if (std::optional<NetworkManagerAccessPoint> point = accessPoint(path))
            points.append(*point);
    }
    return points;
}

std::optional<NetworkManagerAccessPoint> NetworkManagerClient::activeAccessPoint(const NetworkManagerDevice& device) const
{
    if (device.activeAccessPointPath.isEmpty())
        return std::nullopt;
    return accessPoint(device.activeAccessPointPath);
}

std::optional<NetworkManagerFailure> NetworkManagerClient::scan(const NetworkManagerDevice& device,
                                                                const QList<QByteArray>& ssids,
                                                                std::chrono::milliseconds bound) const
{
    const std::optional<qint64> before = this->device(device.path).value_or(device).lastScan;
    QVariantMap options;
    if (!ssids.isEmpty())
        options.insert(QStringLiteral("ssids"), QVariant::fromValue(ssids));
    QDBusMessage call = QDBusMessage::createMethodCall(service(), device.path, wirelessInterface(),
                                                       QStringLiteral("RequestScan"));
    call << options;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return NetworkManagerFailure::callFailed(reply.errorMessage());
    if (!before)
        return std::nullopt;
    QDeadlineTimer deadline(bound);
    while (true) {
        const std::optional<NetworkManagerDevice> now = this->device(device.path);
        if (!now)
            return NetworkManagerFailure::callFailed(QStringLiteral("The Wi-Fi device disappeared during the scan."));
        if (now->lastScan != before)
            return std::nullopt;
        if (deadline.hasExpired())
            return NetworkManagerFailure::timedOut(QStringLiteral("The Wi-Fi scan did not finish in time."));
        QThread::msleep(scanPollIntervalMs);
    }
}
