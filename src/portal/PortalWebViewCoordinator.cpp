#include "portal/PortalWebViewCoordinator.h"

#include "portal/PortalAutofillScript.h"
#include "portal/PortalBrowsing.h"
#include "support/Logger.h"
#include "wifi/RetrySleeping.h"

#include <QJsonDocument>
#include <QJsonObject>

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

// A run whose answer never comes (its page went away) must not hold the view forever.
constexpr int maxPassesWhileInFlight = 2;

struct ScriptExtras {
    QString pressedStep;
    bool outsidePortal = false;
};

// The keys the host keeps beside the event's own fields.
ScriptExtras scriptExtras(const QString& result)
{
    const QJsonObject object = QJsonDocument::fromJson(result.toUtf8()).object();
    return {object.value("pressedStep"_L1).toString(), object.value("outsidePortal"_L1).toBool()};
}

} // namespace

PortalWebViewCoordinator::PortalWebViewCoordinator(PortalWebView parent, PortalBrowsing* browser,
                                                   std::shared_ptr<RetrySleeping> sleeper, QObject* owner)
    : QObject(owner), m_parent(std::move(parent)), m_browser(browser), m_sleeper(std::move(sleeper))
{
    connect(browser, &PortalBrowsing::loadFinished, this, &PortalWebViewCoordinator::pageDidFinishLoad);
    connect(browser, &PortalBrowsing::navigationRequested, this,
            [this](const QUrl& from, const QUrl& to, PortalNavigationKind kind) {
                m_hostScope.noteNavigation(from, to, kind);
            });
}

PortalWebViewCoordinator::~PortalWebViewCoordinator()
{
    cancel(m_loadFollowUpTask);
    cancel(m_submitFollowUpTask);
}

void PortalWebViewCoordinator::start()
{
    beginAttempt(m_parent.url);
    if (m_browser)
        m_browser->load(m_requestedURL);
}

void PortalWebViewCoordinator::update(PortalWebView parent, bool force)
{
    m_parent = std::move(parent);
    if (!m_browser)
        return;
    if (m_parent.url == m_requestedURL) {
        if (!m_browser->isLoading())
            applyAutofill(force);
        return;
    }
    beginAttempt(m_parent.url);
    cancelScheduledPasses();
    m_browser->load(m_requestedURL);
}

void PortalWebViewCoordinator::beginAttempt(const QUrl& url)
{
    m_requestedURL = url;
    m_pressMemory.clear();
    m_hostScope.reset(url);
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
    const QUrl page = m_browser->url();
    if (!m_hostScope.allows(page)) {
        logger().log("Portal autofill skipped: outside the portal, url=%{private}s", addressOrUnknown(page));
        return;
    }
    const QString signature = m_parent.signature(page);
    if (!force && m_lastAppliedSignature == signature)
        return;
    m_lastAppliedSignature = signature;
    // The run in flight may have pressed something the next script must know about: wait for it.
    if (m_runInFlight && m_passesWhileInFlight < maxPassesWhileInFlight) {
        ++m_passesWhileInFlight;
        m_runQueued = true;
        return;
    }

    PortalAutofillScript::Context context;
    context.pressedSteps = m_pressMemory.keys();
    context.portalHosts = QStringList(m_hostScope.hosts().cbegin(), m_hostScope.hosts().cend());
    const QString script = PortalAutofillScript::make(m_parent.profile, m_parent.autoSubmitEnabled, context);
    m_runInFlight = true;
    m_runQueued = false;
    m_passesWhileInFlight = 0;
    m_browser->evaluate(script, [self = QPointer(this)](std::optional<QString> result) {
        if (!self)
            return;
        self->m_runInFlight = false;
        self->handleResult(result);
        if (self && self->m_runQueued) {
            self->m_runQueued = false;
            self->applyAutofill(true);
        }
    });
}

void PortalWebViewCoordinator::handleResult(const std::optional<QString>& result)
{
    const std::optional<PortalAutofillEvent> decoded =
        result ? PortalAutofillEvent::fromJSON(result->toUtf8()) : std::nullopt;
    const ScriptExtras extras = decoded ? scriptExtras(*result) : ScriptExtras{};
    if (decoded && extras.outsidePortal) {
        logger().log("Portal autofill skipped: outside the portal, url=%{private}s",
                     addressOrUnknown(m_browser ? m_browser->url() : QUrl()));
        return;
    }
    if (decoded && decoded->submitted && !extras.pressedStep.isEmpty())
        m_pressMemory.remember(extras.pressedStep);
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
