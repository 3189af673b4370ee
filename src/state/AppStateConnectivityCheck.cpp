// The connectivity check: power, path and name, then one of four branches that build the snapshot
// the windows show, and the automatic joins and offers that follow from it.
#include "state/AppState.h"

#include "connectivity/CaptivePortalHandling.h"
#include "connectivity/NetworkPathMonitoring.h"
#include "services/AppAnalyticsEvent.h"
#include "state/AppStateLogLines.h"
#include "state/CheckedConnectionState.h"
#include "wifi/WiFiPowerControlling.h"
#include "wifi/WiFiScanning.h"

#include <QCoroSignal>
#include <QPointer>

using namespace Qt::StringLiterals;

void AppState::runConnectivityCheck(bool shouldAutoConnect)
{
    if (m_isCheckingConnectivity) {
        m_logger.debug("Connectivity check skipped: already checking");
        return;
    }
    m_isCheckingConnectivity = true;
    m_lastAssistantRun = now();
    m_logger.debug("Connectivity check started. Auto-connect: %{bool,public}d", shouldAutoConnect);
    m_checkRun = connectivityCheck(shouldAutoConnect);
}

QCoro::Task<> AppState::runConnectivityCheckToCompletion(bool shouldAutoConnect)
{
    const QPointer<AppState> self(this);
    if (shouldAutoConnect)
        checkAndConnectPublicWiFi();
    else
        refreshSnapshot();
    while (self && self->m_isCheckingConnectivity)
        co_await qCoro(self.data(), &AppState::connectivityCheckFinished);
}

QCoro::Task<> AppState::connectivityCheck(bool shouldAutoConnect)
{
    // The state may go away while a dependency answers; `self` tells, and the dependencies travel here.
    const QPointer<AppState> self(this);
    const Collaborators c = m_collaborators;
    const auto finish = [self] {
        if (!self)
            return;
        self->m_isCheckingConnectivity = false;
        Q_EMIT self->connectivityCheckFinished();
    };

    const std::optional<bool> power = co_await c.wifiPowerController->currentPowerState();
    if (!self)
        co_return;
    if (power == false) {
        powerOffBranch(shouldAutoConnect);
        finish();
        co_return;
    }

    const NetworkPathStatus path = co_await c.networkPathMonitor->currentStatus();
    if (!self)
        co_return;
    setCurrentPathStatus(path);

    const std::optional<QString> ssid = co_await c.scanner->currentSSID();
    if (!self)
        co_return;
    refreshLocationAuthorizationStatus();
    m_logger.debug("Connectivity path: %{public}s. Current SSID visible: %{bool,public}d, location=%{public}s",
                   path.logValue(), ssid.has_value(), logValue(m_locationAuthorizationStatus));

    // Each branch keeps its snapshots in a frame of its own: this one, made every second, stays small.
    if (ssid)
        co_await connectedBranch(shouldAutoConnect, *ssid, path);
    else
        co_await withoutSSIDBranch(shouldAutoConnect, path);
    finish();
}

void AppState::powerOffBranch(bool shouldAutoConnect)
{
    m_logger.log("Connectivity check stopped: Wi-Fi power is off");
    const WiFiSnapshot off = CheckedConnectionState::wifiOffSnapshot(now());
    publishSnapshotIfNeeded(off);
    // Not captive: the same portal seen again after the radio comes back opens the assistant again.
    openDetectedPortalIfNeeded(off, shouldAutoConnect);
}

QCoro::Task<> AppState::withoutSSIDBranch(bool shouldAutoConnect, NetworkPathStatus path)
{
    const QPointer<AppState> self(this);
    const Collaborators c = m_collaborators;

    std::optional<WiFiSnapshot> scan;
    if (shouldAutoConnect) {
        // Background scan: open networks in reach are joined or offered before anything is probed.
        const WiFiSnapshot background = co_await c.scanner->latestSnapshot();
        if (!self)
            co_return;
        const QList<PublicNetworkCandidate> open = background.openCandidates();
        m_logger.debug("Background scan found %{public}ld candidates and %{public}ld selectable open candidates",
                       qint64(background.candidates.size()), qint64(open.size()));
        AppStateLogLines::snapshot(m_logger, u"Background scan"_s, background);
        AppStateLogLines::candidates(m_logger, u"Background selectable"_s, open);
        if (!open.isEmpty()) {
            publishSnapshotIfNeeded(background);
            connectAutomaticallyOrPresent(open);
            co_return;
        }
    } else if (path.isSatisfied()) {
        const WiFiSnapshot manual = co_await c.scanner->latestSnapshot();
        if (!self)
            co_return;
        scan = manual;
    }

    if (path.isSatisfied()) {
        const PortalState portal = co_await c.portal->detectPortal();
        if (!self)
            co_return;
        satisfiedWithoutSSIDBranch(shouldAutoConnect, scan, portal);
        co_return;
    }

    const WiFiSnapshot offline = co_await c.scanner->latestSnapshot();
    if (!self)
        co_return;
    offlineBranch(shouldAutoConnect, offline);
}

QCoro::Task<> AppState::connectedBranch(bool shouldAutoConnect, QString ssid, NetworkPathStatus path)
{
    const QPointer<AppState> self(this);
    const Collaborators c = m_collaborators;

    std::optional<WiFiSnapshot> existing;
    if (m_currentSnapshot.currentSSID == ssid)
        existing = m_currentSnapshot;

    // A network other than the one shown is scanned at once: the details and candidates on screen
    // belong to the old one, and the stronger-network rule needs the new one's.
    const bool force = !shouldAutoConnect || !existing;
    std::optional<WiFiSnapshot> enriched;
    if (m_cadence.shouldRefreshConnectedWiFiDetails(force, m_currentSnapshot.currentNetwork.has_value(),
                                                    m_currentSnapshot.interfaceDetails.has_value())) {
        const WiFiSnapshot scanned = co_await c.scanner->latestSnapshot();
        if (!self)
            co_return;
        enriched = scanned;
        m_cadence.recordEnrichmentScan();
        m_logger.debug("Connected Wi-Fi enrichment completed: candidates=%{public}ld, hasCurrentNetwork=%{bool,public}d, "
                       "hasInterfaceDetails=%{bool,public}d",
                       qint64(scanned.candidates.size()), scanned.currentNetwork.has_value(),
                       scanned.interfaceDetails.has_value());
    } else {
        m_logger.debug("Connected Wi-Fi enrichment skipped: recently scanned and details already available");
    }

    PortalState portal = PortalState::unknown();
    ConnectionState state = ConnectionState::offline();
    if (path.isSatisfied()) {
        const PortalState previous = existing ? existing->portalState : PortalState::unknown();
        const bool probe = m_cadence.shouldProbePortal(!shouldAutoConnect, existing.has_value(),
                                                       previous.kind() == PortalState::Kind::online);
        portal = previous;
        if (probe) {
            const PortalState probed = co_await c.portal->detectPortal();
            if (!self)
                co_return;
            portal = probed;
            m_cadence.recordPortalProbe();
        }
        state = CheckedConnectionState::joined(ssid, portal);
    }

    // Each detail from the fresh scan when it has one, else from what was shown for this network.
    WiFiSnapshot snapshot;
    snapshot.connectionState = state;
    snapshot.portalState = portal;
    if (existing) {
        snapshot.currentNetwork = existing->currentNetwork;
        snapshot.bestNetwork = existing->bestNetwork;
        snapshot.interfaceDetails = existing->interfaceDetails;
    }
    if (enriched && enriched->currentNetwork)
        snapshot.currentNetwork = enriched->currentNetwork;
    if (enriched && enriched->bestNetwork)
        snapshot.bestNetwork = enriched->bestNetwork;
    if (enriched && enriched->interfaceDetails)
        snapshot.interfaceDetails = enriched->interfaceDetails;
    if (enriched)
        snapshot.candidates = enriched->candidates;
    else if (existing)
        snapshot.candidates = existing->candidates;
    snapshot.currentSSID = ssid;
    snapshot.lastUpdated = now();
    m_logger.debug("Current SSID branch: connectionState=%{public}s, quality=%{public}ld", state.analyticsValue(),
                   snapshot.currentNetwork ? snapshot.currentNetwork->quality : -1);

    publishSnapshotIfNeeded(snapshot);
    openDetectedPortalIfNeeded(snapshot, shouldAutoConnect);

    // A weak joined network gives way to a strong open one: exactly one is joined, several are offered.
    if (shouldAutoConnect && snapshot.currentNetwork && snapshot.currentNetwork->quality < strongWiFiQualityThreshold) {
        QList<PublicNetworkCandidate> stronger;
        for (const PublicNetworkCandidate& candidate : snapshot.candidates)
            if (candidate.isOpen() && candidate.ssid != ssid && candidate.quality >= strongWiFiQualityThreshold)
                stronger.append(candidate);
        connectAutomaticallyOrPresent(stronger);
    } else {
        presentOpenNetworksIfNeeded({});
    }
}

void AppState::satisfiedWithoutSSIDBranch(bool shouldAutoConnect, const std::optional<WiFiSnapshot>& scan, PortalState portal)
{
    const ConnectionState state = CheckedConnectionState::withoutVisibleSSID(portal);
    m_logger.debug("Satisfied path without visible SSID: portal=%{public}s, connectionState=%{public}s", portal.logValue(),
                   state.analyticsValue());
    WiFiSnapshot snapshot;
    if (scan) {
        snapshot.bestNetwork = scan->bestNetwork;
        snapshot.candidates = scan->candidates;
        snapshot.currentSSID = scan->currentSSID;
        snapshot.currentNetwork = scan->currentNetwork;
        snapshot.interfaceDetails = scan->interfaceDetails;
    }
    snapshot.connectionState = state;
    snapshot.portalState = portal;
    snapshot.lastUpdated = now();
    publishSnapshotIfNeeded(snapshot);
    openDetectedPortalIfNeeded(snapshot, shouldAutoConnect);
}

void AppState::offlineBranch(bool shouldAutoConnect, WiFiSnapshot scan)
{
    const QList<PublicNetworkCandidate> open = scan.openCandidates();
    m_logger.debug("Offline scan found %{public}ld candidates and %{public}ld open candidates",
                   qint64(scan.candidates.size()), qint64(open.size()));
    AppStateLogLines::snapshot(m_logger, u"Offline scan"_s, scan);
    AppStateLogLines::candidates(m_logger, u"Offline open"_s, open);
    if (scan.candidates.isEmpty() && shouldShowLocationGate())
        m_logger.log("Offline scan blocked by location gate: %{public}s", logValue(m_locationAuthorizationStatus));
    // A scan that itself failed keeps its message (no Wi-Fi device, NetworkManager not answering):
    // "offline" would hide from the user why nothing can be found.
    if (!scan.bestNetwork && scan.connectionState.kind() != ConnectionState::Kind::failed)
        scan.connectionState = ConnectionState::offline();
    publishSnapshotIfNeeded(scan);
    openDetectedPortalIfNeeded(scan, shouldAutoConnect);
    if (shouldAutoConnect)
        connectAutomaticallyOrPresent(open);
}

void AppState::publishSnapshotIfNeeded(const WiFiSnapshot& snapshot)
{
    if (!snapshot.shouldPublishUpdate(m_currentSnapshot)) {
        m_logger.debug("Snapshot publish skipped: presentation unchanged");
        return;
    }
    AppStateLogLines::snapshot(m_logger, u"Publishing snapshot"_s, snapshot);
    setCurrentSnapshot(snapshot);
    trackConnectionStateChangedIfNeeded();
}

void AppState::trackConnectionStateChangedIfNeeded()
{
    const WiFiSnapshot& snapshot = m_currentSnapshot;
    const QStringList values{
        snapshot.connectionState.analyticsValue(),
        snapshot.portalState.analyticsValue(),
        QString::number(snapshot.candidates.size()),
        QString::number(snapshot.openCandidates().size()),
        analyticsBool(snapshot.currentSSID.has_value()),
        analyticsBool(snapshot.bestNetwork.has_value()),
    };
    const QString signature = values.join(u'|');
    if (signature == m_lastAnalyticsSnapshotSignature)
        return;
    m_lastAnalyticsSnapshotSignature = signature;
    track(AppAnalyticsEventName::connectionStateChanged, {{u"state"_s, values[0]},
                                                          {u"portal"_s, values[1]},
                                                          {u"candidate_count"_s, values[2]},
                                                          {u"open_candidate_count"_s, values[3]},
                                                          {u"has_current_ssid"_s, values[4]},
                                                          {u"has_best_network"_s, values[5]}});
}
