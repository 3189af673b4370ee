#include "services/FeedbackService.h"

#include "connectivity/NetworkURLSession.h"
#include "services/BundleInfo.h"
#include "services/ProductServiceURL.h"

#include <QJsonDocument>

using namespace Qt::StringLiterals;

QString FeedbackServiceError::rejectionText()
{
    return u"Feedback could not be sent right now. Please try again or use email instead."_s;
}

QString FeedbackServiceError::description() const
{
    if (kind == Kind::invalidResponse)
        return u"BrewBeacon could not read the server response."_s;
    return message;
}

QUrl FeedbackService::defaultEndpoint()
{
    return ProductServiceURL::endpoint(endpointPath());
}

std::shared_ptr<URLSessionProtocol> FeedbackService::sharedSession()
{
    static const std::shared_ptr<URLSessionProtocol> session = std::make_shared<NetworkURLSession>(sessionConfiguration());
    return session;
}

NetworkURLSessionConfiguration FeedbackService::sessionConfiguration()
{
    NetworkURLSessionConfiguration configuration;
    configuration.followRedirects = true;
    configuration.maxRedirects = 3;
    // The service answers with a status and at most a short message.
    configuration.maxBodyBytes = 64 * 1024;
    configuration.keepCookies = true;
    configuration.useCache = true;
    return configuration;
}

HTTPRequest FeedbackService::makeRequest(const QUrl& endpoint, const FeedbackSubmission& submission,
                                         const QString& appVersion)
{
    HTTPRequest request;
    request.url = endpoint;
    request.method = QByteArrayLiteral("POST");
    request.timeout = std::chrono::seconds(20);
    request.headers = {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json")},
                       {QByteArrayLiteral("User-Agent"), (u"BrewBeacon/"_s + appVersion).toUtf8()}};
    request.body = QJsonDocument(submission.toJson()).toJson(QJsonDocument::Compact);
    return request;
}

QCoro::Task<std::optional<FeedbackServiceError>> FeedbackService::submit(FeedbackSubmission submission) const
{
    // Copied before suspending: the service value may be gone when the answer arrives.
    const std::shared_ptr<URLSessionProtocol> session = m_session;
    HTTPRequest request = makeRequest(m_endpoint, submission, BundleInfo::main().value(u"CFBundleShortVersionString"_s));
    const URLSessionResult result = co_await session->data(std::move(request));
    if (result.error)
        co_return FeedbackServiceError::transport(*result.error);
    if (!result.response)
        co_return FeedbackServiceError::invalidResponse();
    const int status = result.response->statusCode;
    if (status >= 200 && status <= 299)
        co_return std::nullopt;
    co_return FeedbackServiceError::rejected(FeedbackServiceError::rejectionText());
}
