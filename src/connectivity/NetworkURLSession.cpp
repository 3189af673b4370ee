#include "connectivity/NetworkURLSession.h"

#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Whatever the cap, the network thread holds at most this much unread; the reads keep the body.
constexpr qint64 readBufferBytes = 256 * 1024;

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

// Errors below 200 are the transport's own (connection, time-out, TLS, proxy); from 200 on Qt reports
// an HTTP answer it did get, which the caller reads from the status instead.
bool isTransportError(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && int(error) < int(QNetworkReply::ContentAccessDenied);
}

QNetworkRequest makeRequest(const HTTPRequest& request, const NetworkURLSessionConfiguration& configuration)
{
    QNetworkRequest qrequest(request.url);
    for (const auto& [name, value] : request.headers)
        qrequest.setRawHeader(name, value);
    qrequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                          configuration.followRedirects ? QNetworkRequest::NoLessSafeRedirectPolicy
                                                        : QNetworkRequest::ManualRedirectPolicy);
    if (configuration.followRedirects)
        qrequest.setMaximumRedirectsAllowed(std::max(configuration.maxRedirects, 0));
    if (!configuration.useCache) {
        qrequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        qrequest.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    }
    if (!configuration.keepCookies) {
        qrequest.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
        qrequest.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    }
    if (!configuration.reuseConnections)
        qrequest.setRawHeader("Connection", "close");
    const auto idle = NetworkURLSession::idleTimeout(request.timeout, configuration.requestTimeout);
    qrequest.setTransferTimeout(int(std::min<qint64>(idle.count(), std::numeric_limits<int>::max())));
    return qrequest;
}

QString describe(const QNetworkReply& reply)
{
    const QString text = reply.errorString();
    return text.isEmpty() ? u"The request failed."_s : text;
}

// Plain GET goes through get() so that non-HTTP schemes (file:, data:) work as well.
QNetworkReply* send(QNetworkAccessManager& manager, const HTTPRequest& request,
                    const NetworkURLSessionConfiguration& configuration)
{
    const QNetworkRequest qrequest = makeRequest(request, configuration);
    if ((request.method.isEmpty() || request.method == "GET") && request.body.isEmpty())
        return manager.get(qrequest);
    return manager.sendCustomRequest(qrequest, request.method, request.body);
}

} // namespace

NetworkURLSession::NetworkURLSession(NetworkURLSessionConfiguration configuration)
    : m_configuration(configuration)
{
}

NetworkURLSession::~NetworkURLSession() = default;

std::chrono::milliseconds NetworkURLSession::idleTimeout(std::chrono::milliseconds requestOwn,
                                                        std::chrono::milliseconds session)
{
    using std::chrono::milliseconds;
    if (requestOwn <= milliseconds::zero())
        return std::max(session, milliseconds::zero());
    if (session <= milliseconds::zero())
        return requestOwn;
    return std::min(requestOwn, session);
}

QString NetworkURLSession::timeoutDescription() { return u"The request timed out."_s; }

QString NetworkURLSession::oversizeDescription(qint64 limit)
{
    return u"The answer was larger than %1 bytes."_s.arg(limit);
}

std::shared_ptr<QNetworkAccessManager> NetworkURLSession::manager()
{
    if (!m_manager)
        m_manager = std::make_shared<QNetworkAccessManager>();
    return m_manager;
}

QCoro::Task<URLSessionResult> NetworkURLSession::data(HTTPRequest request)
{
    // The manager stays alive in this frame even if the session goes away mid-request.
    const std::shared_ptr<QNetworkAccessManager> manager = this->manager();
    const NetworkURLSessionConfiguration configuration = m_configuration;

    const std::unique_ptr<QNetworkReply, DeleteLater> reply(send(*manager, request, configuration));
    // Qt's network thread buffers what arrives until this thread reads it, without a bound of its own:
    // a page streaming at loopback speed while this thread is busy grew the app by hundreds of MB
    // before the cap below could act. With a bounded buffer the transfer waits for our reads instead.
    if (configuration.maxBodyBytes > 0)
        reply->setReadBufferSize(std::min<qint64>(configuration.maxBodyBytes + 1, readBufferBytes));

    bool resourceTimedOut = false;
    QTimer resourceTimer;
    if (configuration.resourceTimeout > std::chrono::milliseconds::zero()) {
        resourceTimer.setSingleShot(true);
        QObject::connect(&resourceTimer, &QTimer::timeout, reply.get(), [&resourceTimedOut, &reply] {
            resourceTimedOut = true;
            reply->abort();
        });
        resourceTimer.start(configuration.resourceTimeout);
    }

    // Read as the bytes arrive so that a capped answer never sits whole in memory.
    const qint64 limit = configuration.maxBodyBytes;
    QByteArray body;
    bool oversize = false;
    if (limit > 0) {
        QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&body, &oversize, &reply, limit] {
            body.append(reply->read(limit + 1 - body.size()));
            if (body.size() > limit && !oversize) {
                oversize = true;
                reply->abort();
            }
        });
    }

    co_await reply.get();
    resourceTimer.stop();
    QObject::disconnect(reply.get(), &QNetworkReply::readyRead, nullptr, nullptr);
    if (oversize && !configuration.keepTruncatedBody)
        co_return URLSessionResult::failure(oversizeDescription(limit));
    if (oversize) {
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        HTTPResponse response;
        response.statusCode = status.toInt();
        response.url = reply->url();
        response.headers = reply->rawHeaderPairs();
        body.truncate(limit);
        URLSessionResult result = URLSessionResult::success(std::move(body), std::move(response));
        if (!status.isValid())
            result.response.reset();
        result.bodyTruncated = true;
        co_return result;
    }

    const QNetworkReply::NetworkError error = reply->error();
    // Our own abort (whole-exchange limit) and Qt's transfer time-out both end as a cancelled reply.
    if (resourceTimedOut || error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError)
        co_return URLSessionResult::failure(timeoutDescription());
    if (isTransportError(error))
        co_return URLSessionResult::failure(describe(*reply));

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        if (error != QNetworkReply::NoError)
            co_return URLSessionResult::failure(describe(*reply));
        co_return URLSessionResult{std::nullopt, body + reply->readAll(), std::nullopt}; // not HTTP (file:, data:)
    }

    HTTPResponse response;
    response.statusCode = status.toInt();
    response.url = reply->url();
    response.headers = reply->rawHeaderPairs();
    body.append(reply->readAll());
    if (limit > 0 && body.size() > limit) {
        if (!configuration.keepTruncatedBody)
            co_return URLSessionResult::failure(oversizeDescription(limit));
        body.truncate(limit);
        URLSessionResult result = URLSessionResult::success(std::move(body), std::move(response));
        result.bodyTruncated = true;
        co_return result;
    }
    co_return URLSessionResult::success(std::move(body), std::move(response));
}
