#pragma once

#include "wifi/PublicNetworkCandidate.h"
#include "wifi/WiFiAssociationStatus.h"

#include <QCoroTask>

// Performs the platform join of one open network. Never fails: errors are `failed` statuses.
class WiFiAssociating {
public:
    virtual ~WiFiAssociating() = default;
    virtual QCoro::Task<WiFiAssociationStatus> associate(PublicNetworkCandidate candidate) = 0;
};
