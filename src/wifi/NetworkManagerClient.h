#pragma once

#include "wifi/NetworkManagerTypes.h"

#include <QDBusConnection>
#include <QList>
#include <QVariantMap>
#include <chrono>
#include <optional>

// Blocking reads and requests against NetworkManager. Every call waits for its reply, so it is meant
// for a component's serial worker thread, never the main thread. A missing service reads as "no device".
class NetworkManagerClient {
public:
    explicit NetworkManagerClient(QDBusConnection bus);

    // The default Wi-Fi device: the first one that is joined, else the first Wi-Fi device NetworkManager
    // lists. None when NetworkManager is absent or has no Wi-Fi device; `failure` then tells a listing
    // that failed (NetworkManager's message) from one that found no device.
    std::optional<NetworkManagerDevice> defaultWiFiDevice(std::optional<NetworkManagerFailure>* failure = nullptr) const;
    std::optional<NetworkManagerDevice> device(const QString& path) const;
    // The same from the device's properties already read.
    std::optional<NetworkManagerDevice> device(const QString& path, const QVariantMap& deviceProperties) const;
    // Radio power: the software switch and the hardware (rfkill) switch both on. None without an answer,
    // with NetworkManager's message in `failure`.
    std::optional<bool> wirelessEnabled(std::optional<NetworkManagerFailure>* failure = nullptr) const;
    std::optional<NetworkManagerAccessPoint> accessPoint(const QString& path) const;
    // The access points the device sees. A listing NetworkManager refused is a failure, never "none in
    // reach"; a point that vanishes between listing and reading is simply left out.
    QList<NetworkManagerAccessPoint> accessPoints(const NetworkManagerDevice& device,
                                                  std::optional<NetworkManagerFailure>* failure = nullptr) const;
    // The joined access point of the device, if any.
    std::optional<NetworkManagerAccessPoint> activeAccessPoint(const NetworkManagerDevice& device) const;

    // Asks for a scan (limited to the given names when not empty) and waits, up to bound, until the
    // device's LastScan moves. No answer means the scan finished; without LastScan there is nothing to wait on.
    std::optional<NetworkManagerFailure> scan(const NetworkManagerDevice& device, const QList<QByteArray>& ssids,
                                              std::chrono::milliseconds bound) const;

    // Properties of one interface of one object; empty with a failure when the call fails.
    QVariantMap properties(const QString& path, const QString& interface,
                           std::optional<NetworkManagerFailure>* failure = nullptr) const;
    // One property; none when the call fails.
    std::optional<QVariant> property(const QString& path, const QString& interface, const QString& name) const;
    // The joined network's raw name as the device at `devicePath` reports it: none when the call fails
    // (the device is gone), an empty value when it is not joined. Two small calls, for frequent checks.
    std::optional<QByteArray> activeSSID(const QString& devicePath) const;
    QDBusConnection bus() const { return m_bus; }

private:
    QDBusConnection m_bus;
};
