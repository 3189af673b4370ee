#pragma once

#include "wifi/WiFiSecurityCode.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// One network found by a full scan, as the Wi-Fi facility reads it; the scorer turns it into a candidate.
struct ScannedNetworkRecord {
    std::optional<QString> ssid; // none for hidden or undecodable names
    std::optional<QString> bssid;
    int rssiValue = 0; // dBm
    int noiseMeasurement = 0; // dBm
    std::optional<int> channel;
    std::optional<int> frequencyMHz;
    QList<WiFiSecurityCode> supportedSecurity;
    QByteArray ssidBytes; // the name as broadcast, when the facility gives it

    bool supportsSecurity(WiFiSecurityCode code) const { return supportedSecurity.contains(code); }

    bool operator==(const ScannedNetworkRecord&) const = default;
};
