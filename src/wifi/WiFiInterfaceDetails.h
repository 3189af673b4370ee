#pragma once

#include <QString>
#include <optional>

// Radio details of the Wi-Fi interface, each as far as the platform gives it.
struct WiFiInterfaceDetails {
    std::optional<QString> interfaceName;
    std::optional<QString> bssid;
    std::optional<int> rssi; // dBm
    std::optional<int> noise; // dBm
    std::optional<QString> channel; // decimal text
    std::optional<double> transmitRate; // Mbit/s
    std::optional<QString> phyMode;
    std::optional<QString> countryCode;

    bool operator==(const WiFiInterfaceDetails&) const = default;
};
