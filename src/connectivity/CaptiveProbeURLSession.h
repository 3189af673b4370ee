#pragma once

#include "connectivity/NetworkURLSession.h"

// The portal probe's own session: ephemeral, never follows a redirect (the probe must see the first
// answer, 3xx and Location included), 5 s per request and 8 s per exchange, and a fresh connection
// for every probe so none opened on an earlier network is ever reused. Only the first `bodyLimit`
// bytes of an answer are read. A plain http GET, the probe's usual request, goes over a connection read
// on the calling thread (PlainHTTPExchange) under the same limits; anything else goes through Qt's stack.
class CaptiveProbeURLSession : public NetworkURLSession {
public:
    CaptiveProbeURLSession();

    QCoro::Task<URLSessionResult> data(HTTPRequest request) override;

    static NetworkURLSessionConfiguration probeConfiguration();
    static constexpr qint64 bodyLimit = 8 * 1024;
};
