#pragma once

#include "connectivity/NetworkPathStatus.h"

#include <QCoroTask>

// Answers what the system's network path looks like right now. Each call takes its own reading and
// never fails; calls may overlap.
class NetworkPathMonitoring {
public:
    virtual ~NetworkPathMonitoring() = default;
    virtual QCoro::Task<NetworkPathStatus> currentStatus() = 0;
};
