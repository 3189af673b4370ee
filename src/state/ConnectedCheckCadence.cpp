#include "state/ConnectedCheckCadence.h"

bool ConnectedCheckCadence::shouldRefreshConnectedWiFiDetails(bool force, bool hasCurrentNetwork,
                                                              bool hasInterfaceDetails) const
{
    if (force || !hasCurrentNetwork || !hasInterfaceDetails)
        return true;
    return atLeastSecondsAgo(m_lastConnectedEnrichmentScan, connectedEnrichmentInterval);
}

bool ConnectedCheckCadence::shouldProbePortal(bool manual, bool hasExistingSnapshot, bool previousWasOnline) const
{
    if (manual || !hasExistingSnapshot || !previousWasOnline)
        return true;
    return atLeastSecondsAgo(m_lastPortalProbeDate, connectedPortalProbeInterval);
}

// No recorded date counts as long ago, and so does one in the future: after the wall clock was set
// back, waiting for it to catch up would stop probing for as long as it was set back.
bool ConnectedCheckCadence::atLeastSecondsAgo(const std::optional<QDateTime>& date, double seconds) const
{
    if (!date)
        return true;
    const qint64 elapsed = date->msecsTo(m_clock.now());
    return elapsed < 0 || double(elapsed) >= seconds * 1000.0;
}
