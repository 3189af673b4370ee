#include "services/SoftwareUpdateFeedPreflight.h"

#include "connectivity/NetworkURLSession.h"
#include "services/SoftwareUpdateLink.h"
#include "services/update/AppcastReader.h"
#include "wifi/TaskRetrySleeper.h"

#include <QStringDecoder>
#include <algorithm>

using namespace Qt::StringLiterals;

SoftwareUpdateFeedPreflight::SoftwareUpdateFeedPreflight(QUrl feedURL, std::shared_ptr<URLSessionProtocol> session,
                                                         int maxAttempts, quint64 retryDelayNanoseconds,
                                                         std::shared_ptr<RetrySleeping> sleeper)
    : m_feedURL(std::move(feedURL))
    , m_session(std::move(session))
    , m_maxAttempts(std::max(1, maxAttempts))
    , m_retryDelayNanoseconds(retryDelayNanoseconds)
    , m_sleeper(sleeper ? std::move(sleeper) : std::make_shared<TaskRetrySleeper>())
{
}

std::unique_ptr<SoftwareUpdateFeedPreflight> SoftwareUpdateFeedPreflight::makeDefault(const QUrl& feedURL)
{
    NetworkURLSessionConfiguration configuration;
    configuration.requestTimeout = std::chrono::seconds(5);
    configuration.resourceTimeout = std::chrono::seconds(8);
    // The time limit alone does not bound memory: a fast server fills gigabytes in 8 s.
    configuration.maxBodyBytes = AppcastReader::maximumFeedBytes;
    return std::make_unique<SoftwareUpdateFeedPreflight>(feedURL.isEmpty() ? defaultFeedURL() : feedURL,
                                                         std::make_shared<NetworkURLSession>(configuration));
}

QUrl SoftwareUpdateFeedPreflight::defaultFeedURL(const BundleInfo& info)
{
    if (const auto configured = info.rawValue(u"SUFeedURL"_s)) {
        const QUrl url(*configured, QUrl::StrictMode);
        if (url.isValid() && url.scheme().toLower().startsWith(u"http"))
            return url;
    }
    return SoftwareUpdateLink::fallbackFeed();
}

bool SoftwareUpdateFeedPreflight::hasValidAppcastShape(const QByteArray& data)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(data);
    if (decoder.hasError())
        return false;
    for (const auto marker : {"<rss"_L1, "<channel"_L1, "<item"_L1, "sparkle:version"_L1, "<enclosure"_L1}) {
        if (!text.contains(marker, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

QCoro::Task<SoftwareUpdateFeedPreflightResult> SoftwareUpdateFeedPreflight::checkFeed()
{
    // Copies: the preflight may be released while a request is in flight.
    const auto session = m_session;
    const auto sleeper = m_sleeper;
    const QUrl feedURL = m_feedURL;
    const int maxAttempts = m_maxAttempts;
    const quint64 retryDelay = m_retryDelayNanoseconds;

    for (int attempt = 1;; ++attempt) {
        const bool last = attempt >= maxAttempts;
        HTTPRequest request;
        request.url = feedURL;
        request.timeout = std::chrono::seconds(20);
        request.headers = {{"Accept", "application/xml,text/xml,*/*"}, {"User-Agent", "BrewBeacon Update Checker"}};

        const URLSessionResult result = co_await session->data(request);
        // A body past the cap was an answer, just not an appcast; it is not retried after a wait.
        const bool oversize = !result.isSuccess() && *result.error == NetworkURLSession::oversizeDescription(AppcastReader::maximumFeedBytes);
        if (!result.isSuccess() && !oversize) {
            if (last)
                co_return SoftwareUpdateFeedPreflightResult::unavailable(unreachableMessage());
            co_await sleeper->sleep(retryDelay);
            continue;
        }

        QString message;
        if (oversize)
            message = invalidAppcastMessage();
        else if (!result.response)
            message = unverifiableMessage();
        else if (const int status = result.response->statusCode; status == 404)
            message = refreshingMessage();
        else if (status < 200 || status > 299)
            message = serverStatusMessage(status);
        else if (hasValidAppcastShape(result.body))
            co_return SoftwareUpdateFeedPreflightResult::available();
        else
            message = invalidAppcastMessage();

        if (last)
            co_return SoftwareUpdateFeedPreflightResult::unavailable(message);
    }
}

QString SoftwareUpdateFeedPreflight::unreachableMessage()
{
    return u"BrewBeacon could not reach the update feed. Check your internet connection and try again."_s;
}

QString SoftwareUpdateFeedPreflight::unverifiableMessage()
{
    return u"BrewBeacon could not verify the update feed response. Try again in a moment."_s;
}

QString SoftwareUpdateFeedPreflight::refreshingMessage()
{
    return u"The update feed is still refreshing. Try again in a moment."_s;
}

QString SoftwareUpdateFeedPreflight::invalidAppcastMessage()
{
    return u"BrewBeacon reached the update feed, but the response was not a valid appcast."_s;
}

QString SoftwareUpdateFeedPreflight::serverStatusMessage(int status)
{
    return u"BrewBeacon could not reach the update feed. Server returned "_s + QString::number(status) + u"."_s;
}
