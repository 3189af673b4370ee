#include "portal/PortalWebViewCoordinator.h"

#include "portal/PortalAutofillScript.h"
#include "portal/PortalBrowsing.h"
#include "support/Logger.h"
#include "wifi/RetrySleeping.h"

using namespace Qt::StringLiterals;

namespace {

const Logger& logger()
{
    static const Logger instance(u"PortalAutofill"_s);
    return instance;
}

QString addressOrUnknown(const QUrl& url)
{
    return url.isEmpty() ? u"unknown"_s : url.toString();
}

} // namespace

PortalWebViewCoordinator::PortalWebViewCoordinator(PortalWebView parent, PortalBrowsing* browser,
                                                   std::shared_ptr<RetrySleeping> sleeper, QObject* owner)
    : QObject(owner), m_parent(std::move(parent)), m_browser(browser), m_sleeper(std::move(sleeper))
{
    connect(browser, &PortalBrowsing::loadFinished, this, &PortalWebViewCoordinator::pageDidFinishLoad);
}

PortalWebViewCoordinator::~PortalWebViewCoordinator()
{
    cancel(m_loadFollowUpTask);
    cancel(m_submitFollowUpTask);
}

void PortalWebViewCoordinator::start()
{
    m_requestedURL = m_parent.url;
    if (m_browser)
        m_browser->load(m_requestedURL);
}

void PortalWebViewCoordinator::update(PortalWebView parent)
{
    m_parent = std::move(parent);
    if (!m_browser)
        return;
    if (m_parent.url == m_requestedURL) {
        if (!m_browser->isLoading())
            applyAutofill(false);
        return;
    }
    m_requestedURL = m_parent.url;
    cancelScheduledPasses();
    m_browser->load(m_requestedURL);
}

void PortalWebViewCoordinator::pageDidFinishLoad()
{
    cancel(m_loadFollowUpTask);
    applyAutofill(true);
    m_loadFollowUpTask = startFollowUps(PortalFollowUpSchedule::pageLoad());
}

void PortalWebViewCoordinator::applyAutofill(bool force)
{
    if (!m_browser)
        return;
    if (!m_parent.autofillEnabled) {
        logger().log("Portal autofill skipped: disabled");
        if (m_parent.onEvent)
            m_parent.onEvent(PortalAutofillEvent::idle());
        return;
    }
    const QString signature = m_parent.signature(m_browser->url());
    if (!force && m_lastAppliedSignature == signature)
        return;
    m_lastAppliedSignature = signature;

    const QString script = PortalAutofillScript::make(m_parent.profile, m_parent.autoSubmitEnabled);
    m_browser->evaluate(script, [self = QPointer(this)](std::optional<QString> result) {
        if (self)
            self->handleResult(result);
    });
}

void PortalWebViewCoordinator::handleResult(const std::optional<QString>& result)
{
    const std::optional<PortalAutofillEvent> decoded =
        result ? PortalAutofillEvent::fromJSON(result->toUtf8()) : std::nullopt;
    if (decoded) {
        const QUrl address = m_browser ? m_browser->url() : QUrl();
        logger().log("Portal autofill result: blocked=%{bool,public}d, submitted=%{bool,public}d, filled=%{public}ld, "
                     "checked=%{public}ld, url=%{private}s, reason=%{private}s",
                     decoded->blocked, decoded->submitted, decoded->filledFields, decoded->checkedBoxes,
                     addressOrUnknown(address), decoded->reason.value_or(u"none"_s));
        // Report before scheduling: the owner may rebuild the view from inside onEvent.
        const bool submitted = decoded->submitted;
        if (m_parent.onEvent)
            m_parent.onEvent(*decoded);
        if (submitted) {
            cancel(m_submitFollowUpTask);
            m_submitFollowUpTask = startFollowUps(PortalFollowUpSchedule::afterSubmit());
        }
        return;
    }
    const PortalAutofillEvent event = PortalAutofillEvent::unsupportedPortal();
    logger().log("Portal autofill result: blocked=%{bool,public}d, submitted=%{bool,public}d, filled=%{public}ld, "
                 "checked=%{public}ld, reason=%{private}s",
                 event.blocked, event.submitted, event.filledFields, event.checkedBoxes, *event.reason);
    if (m_parent.onEvent)
        m_parent.onEvent(event);
}

std::optional<CancellationToken> PortalWebViewCoordinator::startFollowUps(const PortalFollowUpSchedule& schedule)
{
    CancellationToken token;
    runFollowUps(schedule, token);
    return token;
}

QCoro::Task<> PortalWebViewCoordinator::runFollowUps(PortalFollowUpSchedule schedule, CancellationToken token)
{
    QPointer<PortalWebViewCoordinator> self(this);
    QPointer<PortalBrowsing> browser = m_browser;
    std::shared_ptr<RetrySleeping> sleeper = m_sleeper;
    if (!self || !browser)
        co_return;
    logger().log("Portal autofill follow-up scheduled: reason=%{public}s, passes=%{public}ld", schedule.reason,
                 schedule.sleeps.size());
    for (const double seconds : schedule.sleeps) {
        co_await sleeper->sleep(quint64(seconds * 1e9));
        if (token.isCancelled() || !self || !browser)
            co_return;
        logger().log("Portal autofill follow-up pass: reason=%{private}s, delay=%{public}f, url=%{private}s",
                     schedule.reason, seconds, addressOrUnknown(browser->url()));
        self->applyAutofill(true);
    }
}

void PortalWebViewCoordinator::cancelScheduledPasses()
{
    cancel(m_loadFollowUpTask);
    cancel(m_submitFollowUpTask);
    m_lastAppliedSignature.reset();
}

void PortalWebViewCoordinator::cancel(std::optional<CancellationToken>& task)
{
    if (task)
        task->cancel();
    task.reset();
}
