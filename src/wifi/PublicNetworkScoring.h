#pragma once

#include "wifi/NetworkSecurity.h"
#include "wifi/PublicNetworkCandidate.h"
#include "wifi/ScannedNetworkRecord.h"

#include <QString>
#include <optional>

// Classifies, scores and describes scanned networks.
class PublicNetworkScoring {
public:
    virtual ~PublicNetworkScoring() = default;

    // None for networks without a usable name.
    virtual std::optional<PublicNetworkCandidate> candidate(const ScannedNetworkRecord& record) const = 0;
    // The 0-100 quality of a network with these readings.
    virtual int score(const QString& ssid, int rssi, int noise, NetworkSecurity security) const = 0;
};
