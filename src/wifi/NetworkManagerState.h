#pragma once

#include "wifi/NetworkManagerTypes.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What NetworkManager said last about the manager, its Wi-Fi devices, their access points and active
// connections: the content of the signal-fed cache, a plain value that is cheap to copy.
struct NetworkManagerState {
    enum class Availability {
        loading,    // the first read has not finished
        absent,     // nobody owns NetworkManager's name
        unreadable, // NetworkManager is there but refused to list its devices (`failure` says why)
        present,
    };

    // Bounds on what a hostile or broken bus can make the cache hold.
    static constexpr qsizetype maximumDevices = 16;
    static constexpr qsizetype maximumAccessPoints = 512;

    Availability availability = Availability::loading;
    QString failure;

    std::optional<bool> wirelessEnabled; // none when not reported or not a boolean
    bool wirelessHardwareEnabled = true;
    QString powerFailure; // NetworkManager's message when the manager's properties could not be read
    std::optional<quint32> managerState; // NMState; none when not reported or malformed
    quint32 metered = 0;

    QStringList wifiDevicePaths; // Wi-Fi devices only, in NetworkManager's order
    QHash<QString, NetworkManagerDevice> devices;
    QHash<QString, QStringList> accessPointPaths; // per device, in NetworkManager's order
    QHash<QString, QString> listingFailures; // per device whose access points could not be listed
    QHash<QString, NetworkManagerAccessPoint> accessPoints; // only those whose properties were read
    QHash<QString, NetworkManagerActiveConnection> activeConnections; // those of the Wi-Fi devices

    bool isPresent() const { return availability == Availability::present; }
    // The first joined Wi-Fi device, else the first one; none without any.
    std::optional<NetworkManagerDevice> defaultWiFiDevice() const;
    // Software and hardware switches both on; none when the software switch is unknown.
    std::optional<bool> powerOn() const;
    QList<NetworkManagerAccessPoint> accessPointsOf(const QString& devicePath) const;
    std::optional<NetworkManagerAccessPoint> activeAccessPoint(const NetworkManagerDevice& device) const;
    // The raw name of the joined network: the default device's first, else any Wi-Fi device's that
    // has one (a device can be associated before NetworkManager calls it activated). None when not joined.
    std::optional<QByteArray> joinedSSID() const;
    std::optional<NetworkManagerActiveConnection> activeConnection(const NetworkManagerDevice& device) const;
    // Whether an access point path belongs to any Wi-Fi device's list.
    bool isListed(const QString& accessPointPath) const;
};
