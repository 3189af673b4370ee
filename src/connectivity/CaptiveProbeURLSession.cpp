#include "connectivity/CaptiveProbeURLSession.h"

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
    return configuration;
}
