#pragma once

#include <QCoroTask>

// Declared by the Wi-Fi model; callers that await the answer include it.
class PortalState;

// Decides from one connectivity probe whether the network is open, behind a portal, or not judgeable.
// Never fails.
class CaptivePortalHandling {
public:
    virtual ~CaptivePortalHandling() = default;
    virtual QCoro::Task<PortalState> detectPortal() = 0;
};
