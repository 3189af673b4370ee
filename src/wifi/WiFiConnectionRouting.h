#pragma once

#include <QCoroTask>

// Declared by the Wi-Fi model; callers that build or read them include their headers.
class WiFiConnectionRouteRequest;
class WiFiConnectionRouteOutcome;

// Tries candidate networks in the given order until one outcome makes further tries pointless.
// Never fails.
class WiFiConnectionRouting {
public:
    virtual ~WiFiConnectionRouting() = default;
    virtual QCoro::Task<WiFiConnectionRouteOutcome> connect(WiFiConnectionRouteRequest request) = 0;
};
