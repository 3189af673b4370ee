#include "connectivity/CaptiveProbeURLSession.h"

#include "connectivity/PlainHTTPExchange.h"

CaptiveProbeURLSession::CaptiveProbeURLSession() : NetworkURLSession(probeConfiguration()) {}

NetworkURLSessionConfiguration CaptiveProbeURLSession::probeConfiguration()
{
    NetworkURLSessionConfiguration configuration;
    configuration.requestTimeout = std::chrono::seconds(5);
    configuration.resourceTimeout = std::chrono::seconds(8);
    configuration.followRedirects = false;
    configuration.keepCookies = false;
    configuration.useCache = false;
    configuration.reuseConnections = false;
    // The marker sits at the start of a detection page; a portal page past this is judged by its start,
    // and an answer that never ends costs no more than this.
    configuration.maxBodyBytes = bodyLimit;
    configuration.keepTruncatedBody = true;
    return configuration;
}

QCoro::Task<URLSessionResult> CaptiveProbeURLSession::data(HTTPRequest request)
{
    if (!PlainHTTPExchange::handles(request))
        co_return co_await NetworkURLSession::data(std::move(request));
    const NetworkURLSessionConfiguration& configuration = this->configuration();
    PlainHTTPExchange::Limits limits;
    limits.idleTimeout = idleTimeout(request.timeout, configuration.requestTimeout);
    limits.wholeTimeout = configuration.resourceTimeout;
    limits.maxBodyBytes = configuration.maxBodyBytes;
    co_return co_await PlainHTTPExchange::get(std::move(request), limits);
}
