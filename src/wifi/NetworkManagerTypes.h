#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// Names and values of NetworkManager's D-Bus interface that this program uses.
namespace NetworkManagerDBus {
inline QString service() { return QStringLiteral("org.freedesktop.NetworkManager"); }
inline QString managerPath() { return QStringLiteral("/org/freedesktop/NetworkManager"); }
inline QString managerInterface() { return QStringLiteral("org.freedesktop.NetworkManager"); }
inline QString deviceInterface() { return QStringLiteral("org.freedesktop.NetworkManager.Device"); }
inline QString wirelessInterface() { return QStringLiteral("org.freedesktop.NetworkManager.Device.Wireless"); }
inline QString accessPointInterface() { return QStringLiteral("org.freedesktop.NetworkManager.AccessPoint"); }
inline QString activeConnectionInterface() { return QStringLiteral("org.freedesktop.NetworkManager.Connection.Active"); }
inline QString settingsConnectionInterface() { return QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection"); }

constexpr quint32 deviceTypeWiFi = 2;
// NMDeviceState
constexpr quint32 deviceStateUnavailable = 20;
constexpr quint32 deviceStateDisconnected = 30;
constexpr quint32 deviceStateActivated = 100;
constexpr quint32 deviceStateFailed = 120;
// NMActiveConnectionState
constexpr quint32 activeStateActivated = 2;
constexpr quint32 activeStateDeactivated = 4;
// NM80211ApFlags / NM80211ApSecurityFlags
constexpr quint32 apFlagPrivacy = 0x1;
constexpr quint32 keyManagementPSK = 0x100;
constexpr quint32 keyManagement8021X = 0x200;
constexpr quint32 keyManagementSAE = 0x400;
constexpr quint32 keyManagementOWE = 0x800;
constexpr quint32 keyManagementEAPSuiteB192 = 0x2000;
} // namespace NetworkManagerDBus

// One Wi-Fi device as NetworkManager describes it.
struct NetworkManagerDevice {
    QString path;
    QString interfaceName;
    quint32 state = 0;
    quint32 stateReason = 0;
    bool managed = false;
    quint32 bitrateKbps = 0;
    QString activeAccessPointPath; // empty when not joined
    std::optional<qint64> lastScan; // absent on NetworkManager versions without LastScan
    QStringList availableConnections;
    QString activeConnectionPath; // empty when none

    bool operator==(const NetworkManagerDevice&) const = default;
};

// One access point (one BSS) as NetworkManager describes it.
struct NetworkManagerAccessPoint {
    QString path;
    QByteArray ssid; // raw bytes; empty for hidden networks
    QString bssid;
    quint32 flags = 0;
    quint32 wpaFlags = 0;
    quint32 rsnFlags = 0;
    quint32 frequencyMHz = 0;
    quint32 maxBitrateKbps = 0;
    quint8 strength = 0; // percent

    bool operator==(const NetworkManagerAccessPoint&) const = default;
};

// One activation of a connection on a device, as NetworkManager describes it.
struct NetworkManagerActiveConnection {
    QString path;
    quint32 state = 0; // NMActiveConnectionState
    QString specificObject; // the access point it was asked for; empty when none

    bool operator==(const NetworkManagerActiveConnection&) const = default;
};

// Why a NetworkManager call gave no answer.
struct NetworkManagerFailure {
    enum class Kind { CallFailed, TimedOut };
    Kind kind = Kind::CallFailed;
    QString message;

    static NetworkManagerFailure callFailed(QString message) { return {Kind::CallFailed, std::move(message)}; }
    static NetworkManagerFailure timedOut(QString message) { return {Kind::TimedOut, std::move(message)}; }
    // NetworkManager's refusal of a scan request that comes moments after another scan, or while one
    // runs: the access-point list is as fresh as it gets, so this is no failure for a reader.
    bool meansRecentScanResults() const
    {
        return kind == Kind::CallFailed
            && (message.contains(QLatin1String("immediately following previous scan"))
                || message.contains(QLatin1String("while already scanning")));
    }
    bool operator==(const NetworkManagerFailure&) const = default;
};
