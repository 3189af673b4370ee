#pragma once

#include "connectivity/URLSessionProtocol.h"
#include "services/BundleInfo.h"
#include "services/SoftwareUpdateFeedPreflighting.h"
#include "wifi/RetrySleeping.h"

#include <QByteArray>
#include <QUrl>
#include <memory>

// A plain fetch of the appcast that turns an unreachable or malformed feed into a message for the user.
// Only transport errors wait before the next attempt; an answer that is wrong is retried at once.
class SoftwareUpdateFeedPreflight : public SoftwareUpdateFeedPreflighting {
public:
    SoftwareUpdateFeedPreflight(QUrl feedURL, std::shared_ptr<URLSessionProtocol> session, int maxAttempts = 3,
                                quint64 retryDelayNanoseconds = 500'000'000,
                                std::shared_ptr<RetrySleeping> sleeper = nullptr);

    // The instance the application uses: the default feed (or `feedURL`) over an ephemeral session
    // (5 s / 8 s) that reads at most AppcastReader::maximumFeedBytes.
    static std::unique_ptr<SoftwareUpdateFeedPreflight> makeDefault(const QUrl& feedURL = {});

    // "SUFeedURL" from the build when it is an http(s) URL, else the product service's feed.
    static QUrl defaultFeedURL(const BundleInfo& info = BundleInfo::main());
    static bool hasValidAppcastShape(const QByteArray& data);

    QCoro::Task<SoftwareUpdateFeedPreflightResult> checkFeed() override;

    const QUrl& feedURL() const { return m_feedURL; }
    int maxAttempts() const { return m_maxAttempts; }
    quint64 retryDelayNanoseconds() const { return m_retryDelayNanoseconds; }

    static QString unreachableMessage();
    static QString unverifiableMessage();
    static QString refreshingMessage();
    static QString invalidAppcastMessage();
    static QString serverStatusMessage(int status);

private:
    QUrl m_feedURL;
    std::shared_ptr<URLSessionProtocol> m_session;
    int m_maxAttempts;
    quint64 m_retryDelayNanoseconds;
    std::shared_ptr<RetrySleeping> m_sleeper;
};
