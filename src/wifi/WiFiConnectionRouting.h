#pragma once

#include "wifi/WiFiConnectionRouteOutcome.h"
#include "wifi/WiFiConnectionRouteRequest.h"

#include <QCoroTask>

// Tries candidate networks in the given order until one outcome makes further tries pointless.
// Never fails.
class WiFiConnectionRouting {
public:
    virtual ~WiFiConnectionRouting() = default;
    virtual QCoro::Task<WiFiConnectionRouteOutcome> connect(WiFiConnectionRouteRequest request) = 0;
};
