#pragma once

#include "connectivity/URLSessionProtocol.h"

#include <QtGlobal>
#include <chrono>
#include <memory>

class QNetworkAccessManager;

// How a NetworkURLSession treats its requests. The defaults make an ephemeral session: nothing is
// cached, no cookie is sent or kept, redirects are handed to the caller.
struct NetworkURLSessionConfiguration {
    // Longest wait for the next bytes of an exchange; a request's own shorter timeout wins. 0: none.
    std::chrono::milliseconds requestTimeout{60000};
    // Longest whole exchange, however busy. 0: none.
    std::chrono::milliseconds resourceTimeout{0};
    bool followRedirects = false;
    // Redirects followed at most, when following; never from https to http.
    int maxRedirects = 5;
    // Largest body read; a longer answer is cut off there and ends as an error. 0: no limit.
    qint64 maxBodyBytes = 0;
    // With a limit: a longer answer ends as a success holding its first maxBodyBytes bytes, marked
    // `bodyTruncated`, for readers that only look at the start of a page.
    bool keepTruncatedBody = false;
    bool keepCookies = false;
    bool useCache = false;
    // Off: every request uses a connection of its own, closed after the answer.
    bool reuseConnections = true;

    bool operator==(const NetworkURLSessionConfiguration&) const = default;
};

// URLSessionProtocol over QNetworkAccessManager. The manager is created on first use, on the calling
// thread, and kept; use one session from one thread. An HTTP answer of any status is a success
// (status and headers in the response); only transport failures and time-outs are errors.
class NetworkURLSession : public URLSessionProtocol {
public:
    explicit NetworkURLSession(NetworkURLSessionConfiguration configuration = {});
    ~NetworkURLSession() override;

    QCoro::Task<URLSessionResult> data(HTTPRequest request) override;

    const NetworkURLSessionConfiguration& configuration() const { return m_configuration; }

    // The longest wait for the next bytes: the shorter of the request's own and the session's; 0 is none.
    static std::chrono::milliseconds idleTimeout(std::chrono::milliseconds requestOwn, std::chrono::milliseconds session);
    static QString timeoutDescription();
    static QString oversizeDescription(qint64 limit);

private:
    std::shared_ptr<QNetworkAccessManager> manager();

    NetworkURLSessionConfiguration m_configuration;
    std::shared_ptr<QNetworkAccessManager> m_manager;
};
