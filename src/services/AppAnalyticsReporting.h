#pragma once

#include "services/AppAnalyticsEvent.h"

// Where the application state and the portal assistant report usage events. `track` returns at once
// and never fails for the caller.
class AppAnalyticsReporting {
public:
    virtual ~AppAnalyticsReporting() = default;
    virtual void track(const AppAnalyticsEvent& event) = 0;
};
