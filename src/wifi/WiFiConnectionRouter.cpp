#include "wifi/WiFiConnectionRouter.h"

#include "support/Logger.h"
#include "wifi/WiFiConnecting.h"
#include "wifi/WiFiConnectionRequest.h"

using namespace Qt::StringLiterals;

WiFiConnectionRouter::WiFiConnectionRouter(std::shared_ptr<WiFiConnecting> connector)
    : m_connector(std::move(connector))
{
}

bool WiFiConnectionRouter::shouldStopRouting(const WiFiConnectionOutcome& outcome)
{
    switch (outcome.kind()) {
    case WiFiConnectionOutcome::Kind::connected:
    case WiFiConnectionOutcome::Kind::captivePortal:
    case WiFiConnectionOutcome::Kind::requiresUserApproval:
    case WiFiConnectionOutcome::Kind::interfaceUnavailable:
    case WiFiConnectionOutcome::Kind::wifiOff:
    case WiFiConnectionOutcome::Kind::serviceInactive:
        return true;
    case WiFiConnectionOutcome::Kind::requiresPassword:
    case WiFiConnectionOutcome::Kind::enterpriseUnsupported:
    case WiFiConnectionOutcome::Kind::weakSignal:
    case WiFiConnectionOutcome::Kind::networkUnavailable:
    case WiFiConnectionOutcome::Kind::offlineAfterConnect:
    case WiFiConnectionOutcome::Kind::failed:
        return false;
    }
    return false;
}

QCoro::Task<WiFiConnectionRouteOutcome> WiFiConnectionRouter::connect(WiFiConnectionRouteRequest request)
{
    const std::shared_ptr<WiFiConnecting> connector = m_connector; // the router may go away mid-route
    const Logger log(u"WiFiAssistant"_s);

    if (!request.userApproved) {
        log.log("Connection route rejected: user approval missing");
        co_return WiFiConnectionRouteOutcome{WiFiConnectionOutcome::requiresUserApproval(), {}};
    }
    if (request.candidates.isEmpty()) {
        log.log("Connection route rejected: no candidates");
        co_return WiFiConnectionRouteOutcome{WiFiConnectionOutcome::networkUnavailable(u"No candidate"_s), {}};
    }
    log.log("Connection route started: candidates=%{public}ld, allowWeakSignal=%{bool,public}d",
            request.candidates.size(), request.allowWeakSignal);

    QList<WiFiConnectionAttempt> attempts;
    for (const PublicNetworkCandidate& candidate : request.candidates) {
        const int index = int(attempts.size());
        log.debug("Connection route candidate[%{public}ld]: security=%{public}s, quality=%{public}ld, "
                  "rssi=%{public}ld",
                  index, rawValue(candidate.security), candidate.quality, candidate.rssi.value_or(0));

        std::optional<WiFiConnectionOutcome> outcome;
        if (candidate.security == NetworkSecurity::personal)
            outcome = WiFiConnectionOutcome::requiresPassword(candidate.ssid);
        else if (candidate.security == NetworkSecurity::enterprise)
            outcome = WiFiConnectionOutcome::enterpriseUnsupported(candidate.ssid);
        if (!outcome) {
            // A named request: GCC 12 destroys a braced temporary inside a co_await expression twice.
            const WiFiConnectionRequest join{candidate, request.allowWeakSignal, true};
            outcome = co_await connector->connect(join);
        }

        attempts.append(WiFiConnectionAttempt{index, candidate, *outcome});
        log.debug("Connection route outcome: %{public}s", outcome->analyticsValue());
        if (shouldStopRouting(*outcome)) {
            log.log("Connection route stopped after outcome: %{public}s", outcome->analyticsValue());
            co_return WiFiConnectionRouteOutcome{*outcome, attempts};
        }
    }
    log.log("Connection route exhausted candidates");
    co_return WiFiConnectionRouteOutcome{attempts.last().outcome, attempts};
}
