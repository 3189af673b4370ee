#pragma once

#include "connectivity/URLSessionProtocol.h"

#include <QObject>
#include <chrono>

// One GET over plain HTTP on a connection of its own, read on the calling thread and closed after the
// answer. For the probe that runs every few seconds: no thread hop, no cache, cookie or proxy layer, and
// the answer is read a segment at a time. It never follows a redirect, never sends a cookie, and reads
// at most `maxBodyBytes` of a body (a longer one ends as a success marked truncated). `idleTimeout` is the
// longest wait for the next bytes, `wholeTimeout` the longest exchange; either ends it as a time-out.
class PlainHTTPExchange : public QObject {
    Q_OBJECT

public:
    struct Limits {
        std::chrono::milliseconds idleTimeout{5000};
        std::chrono::milliseconds wholeTimeout{8000};
        qint64 maxBodyBytes = 8 * 1024;
    };

    // Whether a request can go this way: a GET without a body to an http URL with a host.
    static bool handles(const HTTPRequest& request);
    static QCoro::Task<URLSessionResult> get(HTTPRequest request, Limits limits);

    // The request head as sent, or nothing when a part of it could break the framing.
    static std::optional<QByteArray> requestHead(const HTTPRequest& request);

Q_SIGNALS:
    void finished();

private:
    PlainHTTPExchange() = default;
};
