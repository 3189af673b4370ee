#include "wifi/WiFiConnectionService.h"

#include "connectivity/CaptivePortalHandling.h"
#include "connectivity/CaptivePortalService.h"
#include "connectivity/NetworkPathMonitoring.h"
#include "connectivity/NetworkPathService.h"
#include "support/Logger.h"
#include "wifi/PortalState.h"
#include "wifi/RetrySleeping.h"
#include "wifi/TaskRetrySleeper.h"
#include "wifi/WiFiAssociating.h"
#include "wifi/WiFiAssociationStatus.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const Logger& assistantLog()
{
    static const Logger logger(u"WiFiAssistant"_s);
    return logger;
}

} // namespace

WiFiConnectionService::WiFiConnectionService(std::shared_ptr<WiFiAssociating> associator)
    : WiFiConnectionService(Collaborators{std::move(associator), std::make_shared<NetworkPathService>(),
                                          std::make_shared<CaptivePortalService>(), WiFiRetryPolicy{},
                                          WiFiPostAssociationPolicy{},
                                          std::make_shared<TaskRetrySleeper>(), installedMinimumQuality})
{
}

WiFiConnectionService::WiFiConnectionService(Collaborators collaborators) : m_collaborators(std::move(collaborators))
{
}

std::optional<WiFiConnectionOutcome> WiFiConnectionService::captiveOutcome(const PortalState& state,
                                                                           const QString& ssid)
{
    if (!state.isCaptive())
        return std::nullopt;
    return WiFiConnectionOutcome::captivePortal(ssid, state.portalURL());
}

QCoro::Task<WiFiConnectionOutcome> WiFiConnectionService::connect(WiFiConnectionRequest request)
{
    // The collaborators travel in this frame, so the service may go away while a join is running.
    const Collaborators collaborators = m_collaborators;
    const Logger& log = assistantLog();
    const PublicNetworkCandidate candidate = request.candidate;

    if (!request.userApproved) {
        log.log("Connection rejected: user approval missing");
        co_return WiFiConnectionOutcome::requiresUserApproval();
    }
    log.debug("Connection candidate selected: security=%{public}s, quality=%{public}ld, rssi=%{public}ld, "
              "allowWeakSignal=%{bool,public}d",
              rawValue(candidate.security), candidate.quality, candidate.rssi.value_or(0), request.allowWeakSignal);
    if (candidate.security == NetworkSecurity::personal) {
        log.log("Connection rejected: password network");
        co_return WiFiConnectionOutcome::requiresPassword(candidate.ssid);
    }
    if (candidate.security == NetworkSecurity::enterprise) {
        log.log("Connection rejected: enterprise network");
        co_return WiFiConnectionOutcome::enterpriseUnsupported(candidate.ssid);
    }
    if (candidate.quality < collaborators.minimumQuality && !request.allowWeakSignal) {
        log.log("Connection rejected: weak signal, quality=%{public}ld, minimum=%{public}ld", candidate.quality,
                collaborators.minimumQuality);
        co_return WiFiConnectionOutcome::weakSignal(candidate.ssid, candidate.quality);
    }

    const int attempts = collaborators.retryPolicy.effectiveMaxAttempts();
    WiFiAssociationStatus status = WiFiAssociationStatus::networkNotFound();
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        log.debug("Association attempt %{public}ld/%{public}ld started", attempt, attempts);
        status = co_await collaborators.associator->associate(candidate);
        log.debug("Association attempt %{public}ld status: %{public}s", attempt, status.logValue());

        switch (status.kind()) {
        case WiFiAssociationStatus::Kind::associated:
        case WiFiAssociationStatus::Kind::alreadyAssociated: {
            const WiFiConnectionOutcome outcome = co_await verifyPostAssociation(collaborators, candidate.ssid);
            log.log("Post-association outcome: %{public}s", outcome.analyticsValue());
            co_return outcome;
        }
        case WiFiAssociationStatus::Kind::interfaceUnavailable:
            co_return WiFiConnectionOutcome::interfaceUnavailable();
        case WiFiAssociationStatus::Kind::wifiOff:
            co_return WiFiConnectionOutcome::wifiOff();
        case WiFiAssociationStatus::Kind::serviceInactive:
            co_return WiFiConnectionOutcome::serviceInactive();
        case WiFiAssociationStatus::Kind::networkNotFound:
        case WiFiAssociationStatus::Kind::failed:
            break;
        }
        if (attempt < attempts && status.isRetryable()) {
            log.debug("Association attempt will retry after transient status: %{public}s", status.logValue());
            co_await collaborators.sleeper->sleep(collaborators.retryPolicy.delayNanoseconds);
            continue;
        }
        break;
    }

    if (status.kind() == WiFiAssociationStatus::Kind::failed) {
        log.log("Connection outcome: failed, message=%{public}s", status.message().value_or(QString()));
        co_return WiFiConnectionOutcome::failed(candidate.ssid, status.message().value_or(QString()));
    }
    log.log("Connection outcome: network unavailable");
    co_return WiFiConnectionOutcome::networkUnavailable(candidate.ssid);
}

QCoro::Task<WiFiConnectionOutcome> WiFiConnectionService::verifyPostAssociation(Collaborators collaborators,
                                                                                QString ssid)
{
    const Logger& log = assistantLog();
    log.debug("Post-association verification started");
    const int checks = collaborators.postAssociationPolicy.effectiveMaxPathChecks();
    for (int check = 1;; ++check) {
        const NetworkPathStatus path = co_await collaborators.networkPathMonitor->currentStatus();
        log.debug("Post-association network path check %{public}ld/%{public}ld: %{public}s", check, checks,
                  path.logValue());

        const PortalState portal = co_await collaborators.portalHandler->detectPortal();
        if (path.isSatisfied()) {
            log.debug("Post-association portal state: %{public}s", portal.logValue());
            if (const auto captive = captiveOutcome(portal, ssid))
                co_return *captive;
            if (portal.kind() == PortalState::Kind::online)
                co_return WiFiConnectionOutcome::connected(ssid);
            co_return WiFiConnectionOutcome::offlineAfterConnect(ssid);
        }

        log.debug("Post-association portal probe while path is not ready: %{public}s", portal.logValue());
        if (const auto captive = captiveOutcome(portal, ssid))
            co_return *captive;
        if (check >= checks) {
            log.log("Post-association path stayed offline after %{public}ld checks", checks);
            co_return WiFiConnectionOutcome::offlineAfterConnect(ssid);
        }
        log.debug("Post-association path not ready; waiting before retry");
        co_await collaborators.sleeper->sleep(collaborators.postAssociationPolicy.delayNanoseconds);
    }
}
