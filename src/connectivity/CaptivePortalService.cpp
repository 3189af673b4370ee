#include "connectivity/CaptivePortalService.h"

#include "support/Logger.h"

using namespace Qt::StringLiterals;

CaptivePortalService::CaptivePortalService() : CaptivePortalService(ConnectivityProbeClient::installed()) {}

CaptivePortalService::CaptivePortalService(ConnectivityProbeClient probeClient)
    : m_probeClient(std::move(probeClient))
{
}

QCoro::Task<PortalState> CaptivePortalService::detectPortal()
{
    const Logger logger(u"PortalProbe"_s);
    const ConnectivityProbeClient client = m_probeClient; // the service may go away while probing
    logger.debug("Portal detection requested");
    const PortalState result = co_await client.probe();
    if (result == PortalState::online())
        logger.debug("Portal detection result: %{public}s", result.logValue());
    else
        logger.log("Portal detection result: %{public}s", result.logValue());
    co_return result;
}
