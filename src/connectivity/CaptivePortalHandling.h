#pragma once

#include "wifi/PortalState.h"

#include <QCoroTask>

// Decides from one connectivity probe whether the network is open, behind a portal, or not judgeable.
// Never fails.
class CaptivePortalHandling {
public:
    virtual ~CaptivePortalHandling() = default;
    virtual QCoro::Task<PortalState> detectPortal() = 0;
};
