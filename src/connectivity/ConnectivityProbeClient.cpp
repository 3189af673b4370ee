#include "connectivity/ConnectivityProbeClient.h"

#include "connectivity/CaptiveProbeURLSession.h"
#include "connectivity/DetectionURLSetting.h"
#include "connectivity/PortalAddress.h"
#include "support/Logger.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

const Logger& probeLog()
{
    static const Logger logger(u"PortalProbe"_s);
    return logger;
}

constexpr int networkAuthenticationRequired = 511;

// Inside [low, low + count) without wrap-around: a status below the range never counts as inside.
bool inRange(int status, int low, int count)
{
    return quint64(qint64(status) - low) < quint64(count);
}

// A URL's absolute text as log lines and portal states print it.
QString absoluteText(const QUrl& url) { return url.toString(QUrl::FullyEncoded); }

// The body as text, when it is UTF-8. The start of a longer page may end inside a character; that
// unfinished tail is no error.
std::optional<QString> decodedUtf8(const QByteArray& body, bool truncated)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           truncated ? QStringDecoder::Flag::Default : QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(body);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// The Location value resolved against the probe URL, when it is a usable URL.
std::optional<QUrl> redirectTarget(const HTTPResponse& response, const QUrl& probeURL)
{
    const std::optional<QByteArray> location = response.header("Location");
    if (!location || location->trimmed().isEmpty())
        return std::nullopt;
    const QUrl relative(QString::fromUtf8(location->trimmed()), QUrl::StrictMode);
    if (!relative.isValid())
        return std::nullopt;
    // Only a web address can be a portal's page; any other scheme or a host-less URL counts as no Location.
    return PortalAddress::usable(probeURL.resolved(relative));
}

} // namespace

ConnectivityProbeClient::ConnectivityProbeClient(std::shared_ptr<URLSessionProtocol> session, QUrl probeURL,
                                                 QString successMarker)
    : m_session(std::move(session)), m_probeURL(std::move(probeURL)), m_successMarker(std::move(successMarker))
{
}

ConnectivityProbeClient ConnectivityProbeClient::installed()
{
    return ConnectivityProbeClient(std::make_shared<CaptiveProbeURLSession>(), DetectionURLSetting::configured(),
                                   DetectionURLSetting::configuredMarker());
}

QCoro::Task<PortalState> ConnectivityProbeClient::probe() const
{
    // Copies, so the client may go away while the request is in flight.
    const std::shared_ptr<URLSessionProtocol> session = m_session;
    const QUrl probeURL = m_probeURL;
    const QString marker = m_successMarker;

    HTTPRequest request;
    request.url = probeURL;
    request.timeout = requestTimeout;
    probeLog().debug("Connectivity probe started: %{public}s", absoluteText(probeURL));

    const URLSessionResult result = co_await session->data(request);
    if (!result.isSuccess()) {
        probeLog().log("Connectivity probe failed: %{public}s", *result.error);
        co_return PortalState::unavailable();
    }
    if (!result.response) {
        probeLog().log("Connectivity probe unavailable: non-HTTP response");
        co_return PortalState::unavailable();
    }
    const HTTPResponse& response = *result.response;
    const int status = response.statusCode;
    probeLog().debug("Connectivity probe response: status=%{public}ld, finalURL=%{public}s", status,
                     response.url ? absoluteText(*response.url) : u"none"_s);

    // The session never follows a redirect, so the answer's URL is the probe's own; should a transport
    // ever report another, it is only an address when it is a web one.
    const std::optional<QUrl> responseURL = PortalAddress::usable(response.url);
    if (response.url && response.url->host() != probeURL.host()) {
        probeLog().log("Connectivity probe redirected to portal-like URL: %{public}s", absoluteText(*response.url));
        co_return PortalState::suspected(responseURL);
    }
    if (inRange(status, 300, 100)) {
        if (const std::optional<QUrl> target = redirectTarget(response, probeURL)) {
            probeLog().log("Connectivity probe has redirect location: %{public}s", absoluteText(*target));
            co_return PortalState::suspected(*target);
        }
    }
    // 511 Network Authentication Required is how a captive portal says so; its page is known only when
    // the answer names one.
    if (status == networkAuthenticationRequired) {
        const std::optional<QUrl> target = redirectTarget(response, probeURL);
        probeLog().log("Connectivity probe answered network authentication required: %{public}s",
                       target ? absoluteText(*target) : u"no address"_s);
        co_return PortalState::suspected(target);
    }
    if (inRange(status, 200, 100)) {
        const std::optional<QString> text = decodedUtf8(result.body, result.bodyTruncated);
        if (text && text->contains(marker, Qt::CaseInsensitive)) {
            probeLog().debug("Connectivity probe verified internet");
            co_return PortalState::online();
        }
    }
    if (inRange(status, 200, 200)) {
        probeLog().log("Connectivity probe suspects portal without success marker");
        co_return PortalState::suspected(responseURL);
    }
    probeLog().log("Connectivity probe unavailable: unexpected status %{public}ld", status);
    co_return PortalState::unavailable();
}
