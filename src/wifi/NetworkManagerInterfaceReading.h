#pragma once

#include "wifi/NetworkManagerClient.h"
#include "wifi/NetworkManagerState.h"
#include "wifi/ScannedNetworkRecord.h"
#include "wifi/WiFiInterfaceDetails.h"
#include "wifi/WiFiSecurityCode.h"

#include <QString>
#include <optional>

// What the default Wi-Fi device says about itself at one moment: the joined network, the radio readings
// and the power and service flags. Joins read it afresh from NetworkManager; scans from the cache.
struct NetworkManagerInterfaceReading {
    NetworkManagerDevice device;
    std::optional<NetworkManagerAccessPoint> activeAccessPoint;
    std::optional<QString> ssid; // decoded, untrimmed; none when not joined or the name is empty
    bool powerOn = false;
    // NetworkManager's message when the power could not be read; `powerOn` then means nothing.
    std::optional<QString> powerFailure;
    // NetworkManager manages the device and it is past "unavailable" (rfkill, firmware, supplicant).
    bool serviceActive = false;
    int rssi = 0; // dBm; 0 when not joined
    int noise = 0; // dBm; 0 when not joined
    double transmitRate = 0; // Mbit/s
    WiFiSecurityCode security = WiFiSecurityCode::unknown;

    // Reads the default Wi-Fi device; none without one, with `failure` set when the listing itself
    // failed. Blocking: call it on a serial worker. linkStatisticsFile is /proc/net/wireless, replaceable for tests.
    static std::optional<NetworkManagerInterfaceReading> read(const NetworkManagerClient& client,
                                                              const QString& linkStatisticsFile = QStringLiteral("/proc/net/wireless"),
                                                              std::optional<NetworkManagerFailure>* failure = nullptr);

    // The same from the cache: none without a Wi-Fi device, with `failure` set when NetworkManager is
    // absent or refused to list its devices.
    static std::optional<NetworkManagerInterfaceReading> read(const NetworkManagerState& state, const QString& linkStatisticsFile,
                                                              std::optional<NetworkManagerFailure>* failure = nullptr);

    WiFiInterfaceDetails details() const;

private:
    static NetworkManagerInterfaceReading from(const NetworkManagerDevice& device, std::optional<bool> power,
                                               std::optional<QString> powerFailure,
                                               std::optional<NetworkManagerAccessPoint> activeAccessPoint,
                                               const QString& linkStatisticsFile);
};

namespace NetworkManagerScanRecords {
// One scanned access point as the scorer reads it. Signal is NetworkManager's strength turned back into
// dBm, noise the estimated floor: NetworkManager reports neither in dBm for scan results.
ScannedNetworkRecord record(const NetworkManagerAccessPoint& point);
} // namespace NetworkManagerScanRecords
