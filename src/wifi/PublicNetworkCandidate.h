#pragma once

#include "wifi/NetworkSecurity.h"

#include <QString>
#include <optional>

// One nearby network as scanned and scored. Scanned candidates carry rssi and noise only; the
// candidate built for the joined network fills the radio fields too.
struct PublicNetworkCandidate {
    QString ssid; // as the platform reports it, untrimmed; never empty or all-blank
    int quality = 0; // 0-100
    QString detail;
    NetworkSecurity security = NetworkSecurity::unknown;
    std::optional<int> rssi; // dBm
    std::optional<int> noise; // dBm
    std::optional<QString> bssid;
    std::optional<QString> channel; // decimal text
    std::optional<double> transmitRate; // Mbit/s
    std::optional<QString> phyMode;

    // Candidates are listed by name.
    const QString& id() const { return ssid; }
    bool isOpen() const { return security == NetworkSecurity::open; }

    bool operator==(const PublicNetworkCandidate&) const = default;
};
