#include "portal/PortalAssistantWindowController.h"

#include "connectivity/CaptivePortalHandling.h"
#include "portal/PortalAssistantWindowing.h"
#include "portal/PortalAutofillProfile.h"
#include "services/AppAnalyticsEvent.h"
#include "services/AppAnalyticsReporting.h"
#include "services/PortalAnalytics.h"
#include "state/AppLanguage.h"
#include "state/PortalAssistantHost.h"
#include "support/Clock.h"
#include "wifi/PortalState.h"
#include "wifi/RetrySleeping.h"

#include <QSettings>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {
// The same page whatever its query: many portals hand out a new token on each redirect.
bool samePortalPage(const QUrl& a, const QUrl& b)
{
    return a.scheme() == b.scheme() && a.host() == b.host() && a.port() == b.port() && a.path() == b.path();
}

// Hand-off when the portal stops moving for this long (no press, no new page), and in any case once the
// whole attempt has taken the cap: a slow portal that builds each page for seconds still gets through,
// one that never settles does not hold the hidden view forever.
constexpr quint64 idleTimeoutNanoseconds = 12'000'000'000ULL;
constexpr quint64 attemptCapNanoseconds = 45'000'000'000ULL;
constexpr std::array<double, 3> verificationWaits{1.0, 2.5, 4.0};

const QString stage = u"hidden"_s;

} // namespace

PortalAssistantWindowController::PortalAssistantWindowController(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_dependencies(std::move(dependencies)), m_logger(u"PortalAssistant"_s)
{
    if (!m_dependencies.clock)
        m_dependencies.clock = &Clock::system();
}

PortalAssistantWindowController::~PortalAssistantWindowController()
{
    cancelAutomationTasks();
    if (m_window)
        m_window->disconnect(this);
}

void PortalAssistantWindowController::show(QUrl portalURL, PortalAssistantHost* host)
{
    cancelAutomationTasks();
    const bool hasProfile = host && host->portalAutofillProfile().canFillIdentityFields();
    m_logger.log("Portal Assistant show requested: url=%{private}s, autofill=true, autoSubmit=true, "
                 "hasProfile=%{bool,public}d",
                 portalURL.toString(), hasProfile);
    if (!m_window || m_currentURL != portalURL)
        configureWindow(portalURL, host, false);
    revealWindow(u"explicit request"_s);
}

void PortalAssistantWindowController::attemptHidden(QUrl portalURL, PortalAssistantHost* host)
{
    // A check that still sees the portal while the attempt is signing in (many portals answer so for a
    // moment after letting the laptop in) must not restart it: the running attempt ends by itself. One
    // that has pressed nothing yet gives way to a different portal page: its page may never come.
    if (m_isHiddenAttempt && m_window) {
        if (m_isVerifyingSubmission || !m_currentURL || samePortalPage(*m_currentURL, portalURL)) {
            m_logger.log("Portal Assistant hidden attempt already running; request ignored: url=%{private}s",
                         portalURL.toString());
            return;
        }
        m_logger.log("Portal Assistant hidden attempt gives way to another portal page: url=%{private}s",
                     portalURL.toString());
    }
    cancelAutomationTasks();
    m_lastAutofillAnalyticsSignature.reset();
    track(host, AppAnalyticsEventName::portalAutomationStarted, {{u"stage"_s, stage}});
    m_logger.log("Portal Assistant hidden attempt started: url=%{private}s", portalURL.toString());
    configureWindow(portalURL, host, true);
    m_isHiddenAttempt = true;
    m_isVerifyingSubmission = false;
    if (m_window)
        m_window->orderOut();

    CancellationToken cap;
    m_capTask = cap;
    runHandoffTimeout(cap, QPointer(host), attemptCapNanoseconds);
    noteProgress(host);
}

void PortalAssistantWindowController::noteProgress(PortalAssistantHost* host)
{
    if (m_handoffTask)
        m_handoffTask->cancel();
    CancellationToken token;
    m_handoffTask = token;
    runHandoffTimeout(token, QPointer(host), idleTimeoutNanoseconds);
}

void PortalAssistantWindowController::configureWindow(const QUrl& url, PortalAssistantHost* host, bool observing)
{
    const QPointer<PortalAssistantHost> weakHost(host);
    const QPointer<PortalAssistantWindowController> self(this);

    PortalAssistantViewInputs inputs;
    inputs.url = url;
    inputs.initialProfile = host ? host->portalAutofillProfile().generatedIfNeeded() : PortalAutofillProfile();
    inputs.locale = AppLanguages::storedLocale(QSettings());
    inputs.onSave = [self, weakHost](const PortalAutofillProfile& profile) {
        if (!self || !weakHost)
            return;
        weakHost->savePortalAutofillProfile(profile);
        self->track(weakHost, AppAnalyticsEventName::uiAction,
                    {{u"action"_s, u"fill_again"_s}, {u"surface"_s, u"portal_assistant"_s}});
    };
    inputs.onOpenInBrowser = [self, weakHost] {
        if (self)
            self->track(weakHost, AppAnalyticsEventName::uiAction,
                        {{u"action"_s, u"open_in_browser"_s}, {u"surface"_s, u"portal_assistant"_s}});
    };
    inputs.onEvent = [self, weakHost, observing](const PortalAutofillEvent& event) {
        if (observing && self && weakHost)
            self->handleAutomationEvent(event, weakHost);
    };
    m_currentURL = url;
    m_host = host;

    if (m_window) {
        m_window->setContent(std::move(inputs));
        m_logger.log("Portal Assistant window reused");
        return;
    }
    if (!m_dependencies.makeWindow)
        return;
    m_window = m_dependencies.makeWindow();
    if (!m_window)
        return;
    connect(m_window.get(), &PortalAssistantWindowing::willClose, this, &PortalAssistantWindowController::windowWillClose);
    connect(m_window.get(), &PortalAssistantWindowing::engineFailed, this, &PortalAssistantWindowController::engineFailed);
    m_window->setContent(std::move(inputs));
    m_logger.log("Portal Assistant window created");
}

void PortalAssistantWindowController::revealWindow(const QString& reason)
{
    if (!m_window)
        return;
    cancelAutomationTasks();
    m_isHiddenAttempt = false;
    m_isVerifyingSubmission = false;
    m_logger.log("Portal Assistant revealing window: reason=%{private}s", reason);
    m_window->bringToFront();
    m_logger.log("Portal Assistant window brought to front");
}

void PortalAssistantWindowController::handOff(const QString& reason, const QString& category, PortalAssistantHost* host)
{
    track(host, AppAnalyticsEventName::portalManualHandoff, {{u"reason_category"_s, category}, {u"stage"_s, stage}});
    // The person taking over is told why, not only what the last pass did.
    if (m_window)
        m_window->showHandoffReason(reason);
    revealWindow(reason);
}

void PortalAssistantWindowController::cancelAutomationTasks()
{
    for (std::optional<CancellationToken>* task : {&m_handoffTask, &m_capTask, &m_verificationTask}) {
        if (*task)
            (*task)->cancel();
        task->reset();
    }
}

void PortalAssistantWindowController::handleAutomationEvent(const PortalAutofillEvent& event, PortalAssistantHost* host)
{
    if (!m_isHiddenAttempt)
        return;
    QStringList sorted = event.fieldCategories;
    std::sort(sorted.begin(), sorted.end());
    const QString fieldList = sorted.join(u',');
    const QString category = PortalAnalytics::blockerCategory(event.reason);
    const QString signature = QStringList{analyticsBool(event.blocked), analyticsBool(event.submitted),
                                          QString::number(event.filledFields), QString::number(event.checkedBoxes),
                                          fieldList, category}
                                  .join(u'|');
    const bool newResult = signature != m_lastAutofillAnalyticsSignature;
    if (newResult) {
        m_lastAutofillAnalyticsSignature = signature;
        track(host, AppAnalyticsEventName::portalAutofillResult,
              {{u"stage"_s, stage},
               {u"outcome"_s, event.outcomeName()},
               {u"blocker_category"_s, category},
               {u"field_categories"_s, fieldList.isEmpty() ? u"none"_s : fieldList},
               {u"filled_fields"_s, QString::number(event.filledFields)},
               {u"checked_boxes"_s, QString::number(event.checkedBoxes)}});
    }

    // Progress is a press or a page the attempt has not seen yet; the checks follow the latest of them,
    // so a step that comes seconds after the first press is verified from its own press.
    if (event.submitted) {
        m_isVerifyingSubmission = true;
        noteProgress(host);
        verifyConnectivity(host);
    } else if (!m_isVerifyingSubmission) {
        if (event.blocked)
            handOff(event.reason.value_or(u"portal needs user action"_s), category, host);
        else if (newResult)
            noteProgress(host);
    } else if (newResult && !event.blocked) {
        noteProgress(host);
        verifyConnectivity(host);
    } else {
        m_logger.debug("Portal Assistant deferring page result while connectivity verification is pending");
    }
}

void PortalAssistantWindowController::verifyConnectivity(PortalAssistantHost* host)
{
    if (m_verificationTask)
        m_verificationTask->cancel();
    CancellationToken token;
    m_verificationTask = token;
    runVerification(token, QPointer(host));
}

QCoro::Task<> PortalAssistantWindowController::runHandoffTimeout(CancellationToken token, QPointer<PortalAssistantHost> host,
                                                                 quint64 nanoseconds)
{
    const QPointer<PortalAssistantWindowController> self(this);
    const std::shared_ptr<RetrySleeping> sleeper = m_dependencies.sleeper;
    co_await sleeper->cancellableSleep(nanoseconds, token);
    if (token.isCancelled() || !self)
        co_return;
    self->handOff(u"automatic attempt timed out"_s, u"timeout"_s, host);
}

QCoro::Task<> PortalAssistantWindowController::runVerification(CancellationToken token, QPointer<PortalAssistantHost> host)
{
    const QPointer<PortalAssistantWindowController> self(this);
    const std::shared_ptr<RetrySleeping> sleeper = m_dependencies.sleeper;
    const auto makeDetector = m_dependencies.makeDetector;
    for (const double seconds : verificationWaits) {
        co_await sleeper->cancellableSleep(quint64(seconds * 1e9), token);
        if (token.isCancelled() || !self)
            co_return;
        const std::unique_ptr<CaptivePortalHandling> detector = makeDetector ? makeDetector() : nullptr;
        // A plain if rather than ?: around co_await: GCC 12 miscompiles the conditional form and
        // destroys the awaited result twice.
        PortalState state = PortalState::unavailable();
        if (detector)
            state = co_await detector->detectPortal();
        // The user or a new attempt may have taken over while the probe ran.
        if (token.isCancelled() || !self)
            co_return;
        if (state.kind() == PortalState::Kind::online) {
            self->m_logger.log("Portal Assistant hidden attempt verified Internet");
            self->cancelAutomationTasks();
            self->m_isHiddenAttempt = false;
            self->m_isVerifyingSubmission = false;
            if (self->m_window)
                self->m_window->close();
            if (host) {
                self->track(host, AppAnalyticsEventName::portalVerificationResult,
                            {{u"outcome"_s, u"online"_s}, {u"stage"_s, stage}});
                host->checkAndConnectPublicWiFi();
            }
            co_return;
        }
    }
    if (host)
        self->track(host, AppAnalyticsEventName::portalVerificationResult,
                    {{u"outcome"_s, u"still_captive"_s}, {u"stage"_s, stage}});
    self->handOff(u"Internet is still captive after automatic submission"_s, u"still_captive"_s, host);
}

void PortalAssistantWindowController::engineFailed(const QString& category)
{
    m_logger.error("Portal Assistant page engine failed: category=%{public}s, hidden=%{bool,public}d", category,
                   m_isHiddenAttempt);
    // A hidden attempt goes to the user on a fresh engine; a window the user had is gone with its engine.
    if (m_isHiddenAttempt)
        handOff(u"the portal page stopped working"_s, category, m_host);
    else if (m_window)
        m_window->close();
}

QString PortalAssistantWindowController::windowTitleOnScreen() const
{
    return m_window ? m_window->titleOnScreen() : QString();
}

void PortalAssistantWindowController::closeWindow()
{
    if (m_window)
        m_window->close();
}

void PortalAssistantWindowController::windowWillClose()
{
    m_logger.log("Portal Assistant window closed");
    cancelAutomationTasks();
    if (m_window) {
        m_window->disconnect(this);
        // The window is still inside its own close handling; let it finish before it goes.
        m_window.release()->deleteLater();
    }
    m_currentURL.reset();
}

void PortalAssistantWindowController::track(PortalAssistantHost* host, AppAnalyticsEventName name,
                                            QMap<QString, QString> parameters) const
{
    if (host)
        host->analytics().track(AppAnalyticsEvent::make(name, std::move(parameters), *m_dependencies.clock));
}
