#pragma once

#include <QCoroTask>
#include <QString>

// The outcome of fetching the appcast before a user-initiated check: usable, or the message to show.
struct SoftwareUpdateFeedPreflightResult {
    enum class Kind { available, unavailable };

    Kind kind = Kind::available;
    QString message; // only for unavailable

    static SoftwareUpdateFeedPreflightResult available() { return {Kind::available, {}}; }
    static SoftwareUpdateFeedPreflightResult unavailable(QString message) { return {Kind::unavailable, std::move(message)}; }
    bool isAvailable() const { return kind == Kind::available; }

    bool operator==(const SoftwareUpdateFeedPreflightResult&) const = default;
};

class SoftwareUpdateFeedPreflighting {
public:
    virtual ~SoftwareUpdateFeedPreflighting() = default;
    virtual QCoro::Task<SoftwareUpdateFeedPreflightResult> checkFeed() = 0;
};
