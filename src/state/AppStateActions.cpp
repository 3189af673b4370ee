// What the checks and the windows make the state do: join open networks (by themselves when exactly
// one is in reach, else on the user's pick), apply what a join achieved, and open the portal assistant.
#include "state/AppState.h"

#include "connectivity/PortalAddress.h"
#include "services/AppAnalyticsEvent.h"
#include "state/AppStateLogLines.h"
#include "state/PortalAssisting.h"
#include "wifi/WiFiConnectionRouteOutcome.h"
#include "wifi/WiFiConnectionRouting.h"

#include <QCoroSignal>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace {

QString hostOf(const QUrl& url)
{
    return url.host().isEmpty() ? u"unknown"_s : url.host();
}

} // namespace

void AppState::connectAutomaticallyOrPresent(const QList<PublicNetworkCandidate>& candidates)
{
    if (candidates.size() != 1) {
        presentOpenNetworksIfNeeded(candidates);
        return;
    }
    if (m_isConnecting || m_joinRunInFlight)
        return;
    m_openNetworkOffers.forget();
    m_logger.log("Exactly one eligible open Wi-Fi found; connecting automatically");
    connect(candidates, true, true);
}

void AppState::presentOpenNetworksIfNeeded(const QList<PublicNetworkCandidate>& candidates)
{
    if (candidates.isEmpty()) {
        m_openNetworkOffers.forget();
        return;
    }
    QStringList names;
    for (const PublicNetworkCandidate& candidate : candidates)
        names.append(candidate.ssid);
    if (!m_openNetworkOffers.shouldOffer(names))
        return;
    m_logger.log("Open Wi-Fi networks available for user selection: %{public}ld", qint64(candidates.size()));
    if (m_openNetworksDetectedHandler)
        m_openNetworksDetectedHandler(candidates);
}

void AppState::connectTo(const PublicNetworkCandidate& candidate)
{
    if (!candidate.isOpen()) {
        m_logger.log("User-selected connection rejected: network is not open");
        return;
    }
    if (m_isConnecting || m_joinRunInFlight) {
        m_logger.debug("User-selected connection skipped: another connection is active");
        return;
    }
    m_logger.log("User selected an open Wi-Fi network");
    // Switching away from a joined network is the user's business; a portal on the new one waits for them.
    connect({candidate}, true, !m_currentSnapshot.currentSSID.has_value());
}

void AppState::connect(const QList<PublicNetworkCandidate>& candidates, bool allowWeakSignal, bool allowsAutomaticPortal)
{
    if (candidates.isEmpty()) {
        m_logger.debug("Connect skipped: empty candidate list");
        return;
    }
    m_joinRunInFlight = true;
    setIsConnecting(true);
    setConnectingSSID(candidates.first().ssid);
    m_activeConnectionAllowsAutomaticPortal = allowsAutomaticPortal;
    m_logger.log("Connecting to public Wi-Fi candidates: %{public}ld", qint64(candidates.size()));
    AppStateLogLines::candidates(m_logger, u"User-selected connect"_s, candidates);
    const QString count = QString::number(candidates.size());
    track(AppAnalyticsEventName::publicWiFiRouteStarted, {{u"candidate_count"_s, count}, {u"open_candidate_count"_s, count}});
    m_joinRun = joinRun(candidates, allowWeakSignal);
}

QCoro::Task<> AppState::joinRun(QList<PublicNetworkCandidate> candidates, bool allowWeakSignal)
{
    const QPointer<AppState> self(this);
    const auto router = m_collaborators.connectionRouter;
    const WiFiConnectionRouteRequest request{std::move(candidates), allowWeakSignal, true};
    const WiFiConnectionRouteOutcome route = co_await router->connect(request);
    if (!self)
        co_return;
    m_joinRunInFlight = false;
    setIsConnecting(false);
    setConnectingSSID(std::nullopt);
    m_logger.log("Public Wi-Fi route finished: %{public}s, attempts=%{public}ld", route.finalOutcome.analyticsValue(),
                 qint64(route.attempts.size()));
    for (const auto& attempt : route.attempts)
        m_logger.debug("Public Wi-Fi route attempt[%{public}ld]: ssid=%{private}s, outcome=%{public}s", qint64(attempt.index),
                       attempt.candidate.ssid, attempt.outcome.analyticsValue());
    applyConnectionRouteOutcome(route);
    m_activeConnectionAllowsAutomaticPortal = false;
    Q_EMIT joinRunFinishedSignal();
}

QCoro::Task<> AppState::joinRunFinished()
{
    const QPointer<AppState> self(this);
    while (self && self->m_isConnecting)
        co_await qCoro(self.data(), &AppState::joinRunFinishedSignal);
}

void AppState::applyConnectionRouteOutcome(const WiFiConnectionRouteOutcome& route)
{
    const std::optional<PublicNetworkCandidate> selected = route.selectedCandidate();
    if (selected && m_currentSnapshot.bestNetwork != selected) {
        m_currentSnapshot.bestNetwork = selected;
        Q_EMIT currentSnapshotChanged();
        notifyTitleIfChanged();
    }
    const QString attempts = QString::number(route.attempts.size());
    const QString outcome = route.finalOutcome.analyticsValue();
    track(AppAnalyticsEventName::publicWiFiRouteFinished,
          {{u"outcome"_s, outcome}, {u"route_attempts"_s, attempts}, {u"selected"_s, analyticsBool(selected.has_value())}});
    const QMap<QString, QString> keyRoute{{u"route_attempts"_s, attempts}, {u"selected"_s, analyticsBool(selected.has_value())}};
    if (route.finalOutcome.kind() == WiFiConnectionOutcome::Kind::connected)
        track(AppAnalyticsEventName::publicWiFiRouteSuccess, keyRoute);
    else if (route.finalOutcome.kind() == WiFiConnectionOutcome::Kind::captivePortal)
        track(AppAnalyticsEventName::publicWiFiRouteCaptiveDetected, keyRoute);
    applyConnectionOutcome(route.finalOutcome);
}

void AppState::applyConnectionOutcome(const WiFiConnectionOutcome& outcome)
{
    m_latestConnectionOutcome = outcome;
    WiFiSnapshot snapshot = m_currentSnapshot;
    std::optional<QUrl> portalToAttempt;
    switch (outcome.kind()) {
    case WiFiConnectionOutcome::Kind::connected:
        m_logger.log("Applying connection outcome: connected");
        snapshot.connectionState = ConnectionState::connected(outcome.ssid().value_or(QString()));
        snapshot.portalState = PortalState::online();
        break;
    case WiFiConnectionOutcome::Kind::captivePortal:
        m_logger.log("Applying connection outcome: captive, hasPortalURL=%{public}s", outcome.url() ? u"true"_s : u"false"_s);
        snapshot.connectionState = ConnectionState::captive(outcome.ssid().value_or(QString()));
        snapshot.portalState = outcome.url() ? PortalState::detected(*outcome.url()) : PortalState::suspected(std::nullopt);
        if (m_activeConnectionAllowsAutomaticPortal)
            portalToAttempt = PortalAddress::usable(outcome.url()).value_or(m_collaborators.detectionPageURL);
        break;
    case WiFiConnectionOutcome::Kind::interfaceUnavailable:
        m_logger.log("Applying connection outcome: interface unavailable");
        snapshot.connectionState = ConnectionState::failed(outcome.detail());
        snapshot.portalState = PortalState::unavailable();
        break;
    default:
        m_logger.log("Applying connection outcome: %{public}s", outcome.analyticsValue());
        snapshot.connectionState = ConnectionState::failed(outcome.detail());
        break;
    }
    setCurrentSnapshot(snapshot);
    if (portalToAttempt) {
        // Remembered like an automatic opening, so the next check of the same portal does not start
        // a second attempt over the one that is running.
        m_portalOpenings.shouldOpen(outcome.ssid().value_or(QString()), *portalToAttempt);
        attemptPortalAutomatically(*portalToAttempt);
    }
}

void AppState::openDetectedPortalIfNeeded(const WiFiSnapshot& snapshot, bool shouldAutoConnect)
{
    if (!shouldAutoConnect)
        return;
    if (snapshot.connectionState.kind() != ConnectionState::Kind::captive) {
        m_portalOpenings.forget();
        return;
    }
    const QUrl url = PortalAddress::usable(snapshot.portalState.portalURL()).value_or(m_collaborators.detectionPageURL);
    const QString network = snapshot.currentSSID.value_or(snapshot.connectionState.title());
    if (!m_portalOpenings.shouldOpen(network, url))
        return;
    m_logger.log("Auto-opening Portal Assistant for captive Wi-Fi");
    attemptPortalAutomatically(url);
}

void AppState::attemptPortalAutomatically(const QUrl& url)
{
    m_logger.log("Portal Assistant background attempt starting: host=%{public}s", hostOf(url));
    if (!m_collaborators.portalAssistant) {
        m_logger.debug("Portal Assistant background attempt skipped: no running application");
        return;
    }
    m_collaborators.portalAssistant->attemptHidden(url, this);
}

void AppState::openPortal()
{
    const std::optional<QUrl> url = portalAssistantURL();
    if (!url) {
        m_logger.debug("Portal open skipped: no portal URL available");
        return;
    }
    m_logger.log("Portal open requested");
    openPortal(*url);
}

void AppState::openPortal(const QUrl& url)
{
    m_logger.log("Portal Assistant window opening: host=%{public}s", hostOf(url));
    track(AppAnalyticsEventName::portalAssistantOpened, {{u"autofill_enabled"_s, u"true"_s}, {u"auto_submit_enabled"_s, u"true"_s}});
    if (!m_collaborators.portalAssistant) {
        m_logger.debug("Portal Assistant window skipped: no running application");
        return;
    }
    m_collaborators.portalAssistant->show(url, this);
}
