#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>

// One HTTP request as the program's HTTP users describe it.
struct HTTPRequest {
    QUrl url;
    QByteArray method = QByteArrayLiteral("GET");
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    std::chrono::milliseconds timeout{60000};

    bool operator==(const HTTPRequest&) const = default;
};

// The response head. Header names keep the server's spelling; look them up with header().
struct HTTPResponse {
    int statusCode = 0;
    std::optional<QUrl> url;
    QList<QPair<QByteArray, QByteArray>> headers;

    // The first value of a header, the name compared without regard to case.
    std::optional<QByteArray> header(QByteArrayView name) const
    {
        for (const auto& [key, value] : headers) {
            if (QByteArrayView(key).compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return std::nullopt;
    }

    bool operator==(const HTTPResponse&) const = default;
};

// What one request gave: an error, or the body and the response. `response` is empty only when the
// transport answered with something that is not HTTP.
struct URLSessionResult {
    std::optional<QString> error;
    QByteArray body;
    std::optional<HTTPResponse> response;
    // The body is the start of a longer answer that was not read to its end.
    bool bodyTruncated = false;

    static URLSessionResult failure(QString description) { return {std::move(description), {}, std::nullopt}; }
    static URLSessionResult success(QByteArray body, HTTPResponse response)
    {
        return {std::nullopt, std::move(body), std::move(response)};
    }
    bool isSuccess() const { return !error.has_value(); }

    bool operator==(const URLSessionResult&) const = default;
};

// The one HTTP abstraction shared by the portal probe, analytics, feedback and the update check.
class URLSessionProtocol {
public:
    virtual ~URLSessionProtocol() = default;
    virtual QCoro::Task<URLSessionResult> data(HTTPRequest request) = 0;
};
