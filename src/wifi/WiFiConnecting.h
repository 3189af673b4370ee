#pragma once

#include <QCoroTask>

// Declared by the Wi-Fi model; callers that build or read them include their headers.
class WiFiConnectionRequest;
class WiFiConnectionOutcome;

// Joins one network and verifies what the join achieved. Never fails: every failure is an outcome.
class WiFiConnecting {
public:
    virtual ~WiFiConnecting() = default;
    virtual QCoro::Task<WiFiConnectionOutcome> connect(WiFiConnectionRequest request) = 0;
};
