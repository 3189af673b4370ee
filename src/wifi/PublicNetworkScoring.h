#pragma once

#include "wifi/NetworkSecurity.h"
#include "wifi/PublicNetworkCandidate.h"
#include "wifi/ScannedNetworkRecord.h"

#include <QString>
#include <optional>

// What a scanned network's candidate would rank by.
struct PublicNetworkRating {
    int quality = 0; // 0-100
    NetworkSecurity security = NetworkSecurity::unknown;
};

// Classifies, scores and describes scanned networks.
class PublicNetworkScoring {
public:
    virtual ~PublicNetworkScoring() = default;

    // What the name alone adds to a quality, none for a name without a usable character. A crowded
    // scan repeats its names, so this is worked out once per name.
    virtual std::optional<int> nameScore(QStringView ssid) const = 0;
    // rating() of a record whose name scored `nameScore`.
    virtual PublicNetworkRating rating(const ScannedNetworkRecord& record, int nameScore) const = 0;
    // The candidate of a record rating() has rated.
    virtual PublicNetworkCandidate candidate(const ScannedNetworkRecord& record, const PublicNetworkRating& rating) const = 0;

    // The quality and class candidate() gives `record`, without making the candidate (a crowded scan
    // throws most of them away); none for networks without a usable name.
    std::optional<PublicNetworkRating> rating(const ScannedNetworkRecord& record) const
    {
        const std::optional<int> name = record.ssid ? nameScore(*record.ssid) : std::nullopt;
        return name ? std::optional<PublicNetworkRating>(rating(record, *name)) : std::nullopt;
    }
    // None for networks without a usable name.
    std::optional<PublicNetworkCandidate> candidate(const ScannedNetworkRecord& record) const
    {
        const std::optional<PublicNetworkRating> rated = rating(record);
        return rated ? std::optional<PublicNetworkCandidate>(candidate(record, *rated)) : std::nullopt;
    }
    // The 0-100 quality of a network with these readings.
    virtual int score(const QString& ssid, int rssi, int noise, NetworkSecurity security) const = 0;
};
