#pragma once

#include "wifi/WiFiConnectionOutcome.h"
#include "wifi/WiFiConnectionRequest.h"

#include <QCoroTask>

// Joins one network and verifies what the join achieved. Never fails: every failure is an outcome.
class WiFiConnecting {
public:
    virtual ~WiFiConnecting() = default;
    virtual QCoro::Task<WiFiConnectionOutcome> connect(WiFiConnectionRequest request) = 0;
};
