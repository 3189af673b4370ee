#pragma once

#include "wifi/PublicNetworkCandidate.h"

#include <QList>

// Several networks to try, in the given order.
class WiFiConnectionRouteRequest {
public:
    QList<PublicNetworkCandidate> candidates;
    bool allowWeakSignal = false;
    bool userApproved = false;

    bool operator==(const WiFiConnectionRouteRequest&) const = default;
};
