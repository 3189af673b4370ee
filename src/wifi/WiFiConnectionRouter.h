#pragma once

#include "wifi/WiFiConnectionOutcome.h"
#include "wifi/WiFiConnectionRouteOutcome.h"
#include "wifi/WiFiConnectionRouteRequest.h"
#include "wifi/WiFiConnectionRouting.h"

#include <memory>

class WiFiConnecting;

// Tries the candidates strictly one at a time in the caller's order, skipping password and enterprise
// networks without asking the connector, until an outcome makes further tries pointless.
class WiFiConnectionRouter : public WiFiConnectionRouting {
public:
    explicit WiFiConnectionRouter(std::shared_ptr<WiFiConnecting> connector);

    QCoro::Task<WiFiConnectionRouteOutcome> connect(WiFiConnectionRouteRequest request) override;

    static bool shouldStopRouting(const WiFiConnectionOutcome& outcome);

private:
    std::shared_ptr<WiFiConnecting> m_connector;
};
