#pragma once

#include "connectivity/NetworkURLSession.h"
#include "connectivity/URLSessionProtocol.h"
#include "services/FeedbackSubmission.h"

#include <QCoroTask>
#include <QUrl>
#include <memory>
#include <optional>

// Why a report did not go through.
struct FeedbackServiceError {
    enum class Kind { rejected, invalidResponse, transport };
    Kind kind = Kind::rejected;
    QString message; // the rejection text or the transport's own description

    static FeedbackServiceError rejected(QString message) { return {Kind::rejected, std::move(message)}; }
    static FeedbackServiceError invalidResponse() { return {Kind::invalidResponse, {}}; }
    static FeedbackServiceError transport(QString description) { return {Kind::transport, std::move(description)}; }

    static QString rejectionText();
    // What the feedback window shows.
    QString description() const;

    bool operator==(const FeedbackServiceError&) const = default;
};

// Posts reports to the product service's "/api/feedback".
class FeedbackService {
public:
    static QString endpointPath() { return QStringLiteral("/api/feedback"); }
    static QUrl defaultEndpoint();
    // The application's long-lived session for reports (not an ephemeral one).
    static std::shared_ptr<URLSessionProtocol> sharedSession();
    static NetworkURLSessionConfiguration sessionConfiguration();

    explicit FeedbackService(QUrl endpoint = defaultEndpoint(), std::shared_ptr<URLSessionProtocol> session = sharedSession())
        : m_endpoint(std::move(endpoint)), m_session(std::move(session))
    {
    }

    const QUrl& endpoint() const { return m_endpoint; }

    static HTTPRequest makeRequest(const QUrl& endpoint, const FeedbackSubmission& submission,
                                   const QString& appVersion);
    // No value when the service accepted the report.
    QCoro::Task<std::optional<FeedbackServiceError>> submit(FeedbackSubmission submission) const;

private:
    QUrl m_endpoint;
    std::shared_ptr<URLSessionProtocol> m_session;
};
