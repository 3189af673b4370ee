#pragma once

#include "wifi/PublicNetworkCandidate.h"

// One network to join.
class WiFiConnectionRequest {
public:
    PublicNetworkCandidate candidate;
    bool allowWeakSignal = false; // join even below the minimum quality
    bool userApproved = false; // the user or an automatic policy approved the join

    bool operator==(const WiFiConnectionRequest&) const = default;
};
