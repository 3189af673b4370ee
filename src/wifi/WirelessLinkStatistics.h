#pragma once

#include <QString>
#include <optional>

// The kernel's measured link statistics of a joined interface (/proc/net/wireless): signal level and
// noise in dBm. Drivers that do not measure noise report it as −256, which reads as absent.
struct WirelessLinkStatistics {
    std::optional<int> signalDbm;
    std::optional<int> noiseDbm;

    bool operator==(const WirelessLinkStatistics&) const = default;

    static std::optional<WirelessLinkStatistics> read(const QString& interfaceName,
                                                      const QString& file = QStringLiteral("/proc/net/wireless"));
    static std::optional<WirelessLinkStatistics> parse(const QString& interfaceName, const QString& contents);
};
