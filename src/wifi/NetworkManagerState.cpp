#include "wifi/NetworkManagerState.h"

using namespace NetworkManagerDBus;

std::optional<NetworkManagerDevice> NetworkManagerState::defaultWiFiDevice() const
{
    std::optional<NetworkManagerDevice> first;
    for (const QString& path : wifiDevicePaths) {
        const auto device = devices.constFind(path);
        if (device == devices.cend())
            continue;
        if (device->state == deviceStateActivated)
            return *device;
        if (!first)
            first = *device;
    }
    return first;
}

std::optional<bool> NetworkManagerState::powerOn() const
{
    if (!wirelessEnabled)
        return std::nullopt;
    return *wirelessEnabled && wirelessHardwareEnabled;
}

QList<NetworkManagerAccessPoint> NetworkManagerState::accessPointsOf(const QString& devicePath) const
{
    QList<NetworkManagerAccessPoint> points;
    const QStringList paths = accessPointPaths.value(devicePath);
    points.reserve(paths.size());
    for (const QString& path : paths) {
        // A point announced but not read yet is not there for a reader.
        const auto point = accessPoints.constFind(path);
        if (point != accessPoints.cend())
            points.append(*point);
    }
    return points;
}

std::optional<NetworkManagerAccessPoint> NetworkManagerState::activeAccessPoint(const NetworkManagerDevice& device) const
{
    if (device.activeAccessPointPath.isEmpty())
        return std::nullopt;
    const auto point = accessPoints.constFind(device.activeAccessPointPath);
    if (point == accessPoints.cend())
        return std::nullopt;
    return *point;
}

std::optional<QByteArray> NetworkManagerState::joinedSSID() const
{
    if (const std::optional<NetworkManagerDevice> device = defaultWiFiDevice()) {
        if (const auto point = activeAccessPoint(*device); point && !point->ssid.isEmpty())
            return point->ssid;
    }
    for (const QString& path : wifiDevicePaths) {
        if (const auto point = activeAccessPoint(devices.value(path)); point && !point->ssid.isEmpty())
            return point->ssid;
    }
    return std::nullopt;
}

std::optional<NetworkManagerActiveConnection> NetworkManagerState::activeConnection(const NetworkManagerDevice& device) const
{
    const auto active = activeConnections.constFind(device.activeConnectionPath);
    if (device.activeConnectionPath.isEmpty() || active == activeConnections.cend())
        return std::nullopt;
    return *active;
}

bool NetworkManagerState::isListed(const QString& accessPointPath) const
{
    for (const QStringList& paths : accessPointPaths)
        if (paths.contains(accessPointPath))
            return true;
    return false;
}
