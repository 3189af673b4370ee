#pragma once

#include "connectivity/CaptivePortalHandling.h"
#include "connectivity/ConnectivityProbeClient.h"

// Portal detection through one connectivity probe; the probe client is all it uses.
class CaptivePortalService : public CaptivePortalHandling {
public:
    CaptivePortalService();
    explicit CaptivePortalService(ConnectivityProbeClient probeClient);

    QCoro::Task<PortalState> detectPortal() override;

    const ConnectivityProbeClient& probeClient() const { return m_probeClient; }

private:
    ConnectivityProbeClient m_probeClient;
};
