#pragma once

#include "support/Clock.h"

#include <QDateTime>
#include <optional>

// How often a check while joined to a visible network re-scans (enrichment) and probes for a portal.
// Automatic checks scan at most every 10 s once the joined network's details are known, and probe
// at most every 3 s while the portal was online; manual refreshes always do both.
class ConnectedCheckCadence {
public:
    static constexpr double connectedEnrichmentInterval = 10.0;
    static constexpr double connectedPortalProbeInterval = 3.0;

    explicit ConnectedCheckCadence(const Clock& clock) : m_clock(clock) {}

    bool shouldRefreshConnectedWiFiDetails(bool force, bool hasCurrentNetwork, bool hasInterfaceDetails) const;
    // `previousWasOnline`: the existing snapshot of this network had the portal `online`.
    bool shouldProbePortal(bool manual, bool hasExistingSnapshot, bool previousWasOnline) const;

    void recordEnrichmentScan() { m_lastConnectedEnrichmentScan = m_clock.now(); }
    void recordPortalProbe() { m_lastPortalProbeDate = m_clock.now(); }

    const std::optional<QDateTime>& lastConnectedEnrichmentScan() const { return m_lastConnectedEnrichmentScan; }
    const std::optional<QDateTime>& lastPortalProbeDate() const { return m_lastPortalProbeDate; }

private:
    bool atLeastSecondsAgo(const std::optional<QDateTime>& date, double seconds) const;

    const Clock& m_clock;
    std::optional<QDateTime> m_lastConnectedEnrichmentScan;
    std::optional<QDateTime> m_lastPortalProbeDate;
};
