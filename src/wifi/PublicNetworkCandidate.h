#pragma once

#include "wifi/NetworkSecurity.h"

#include <QByteArray>
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
    // The name's bytes as broadcast; empty when the candidate was not built from a scan. The bytes,
    // not the shown text, are the network's identity (text escapes can collide with literal names).
    QByteArray ssidBytes;

    // Candidates are listed by name.
    const QString& id() const { return ssid; }
    QByteArray rawSSID() const { return ssidBytes.isEmpty() ? ssid.toUtf8() : ssidBytes; }
    bool isOpen() const { return security == NetworkSecurity::open; }

    bool operator==(const PublicNetworkCandidate&) const = default;
};
