#pragma once

#include "portal/PortalAutofillEvent.h"
#include "state/PortalAssisting.h"
#include "support/CancellationToken.h"
#include "support/Logger.h"

#include <QCoroTask>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class CaptivePortalHandling;
class Clock;
class PortalAssistantHost;
class PortalAssistantWindowing;
class RetrySleeping;
enum class AppAnalyticsEventName : quint8;

// Owns the portal assistant window. Shown: the portal is opened for the user. Hidden attempt: the same
// window stays off screen while the page script works; a blocker, 12 s without progress (a press or a
// new page), the attempt's overall cap or a submission that does not bring the internet reveals it,
// verified internet closes it. Main thread only.
class PortalAssistantWindowController : public QObject, public PortalAssisting {
    Q_OBJECT
public:
    struct Dependencies {
        std::function<std::unique_ptr<PortalAssistantWindowing>()> makeWindow;
        // A fresh portal detector for each verification check.
        std::function<std::unique_ptr<CaptivePortalHandling>()> makeDetector;
        // Monotonic waits for the time-out and the verification checks.
        std::shared_ptr<RetrySleeping> sleeper;
        // Stamps of analytics events.
        const Clock* clock = nullptr;
    };

    explicit PortalAssistantWindowController(Dependencies dependencies, QObject* parent = nullptr);
    ~PortalAssistantWindowController() override;

    void show(QUrl portalURL, PortalAssistantHost* host) override;
    void attemptHidden(QUrl portalURL, PortalAssistantHost* host) override;

    bool hasWindow() const { return m_window != nullptr; }
    // Closes the window (hidden or shown) as if the user had closed it.
    void closeWindow();
    // The window's title while it is on screen; empty otherwise.
    QString windowTitleOnScreen() const;
    const std::optional<QUrl>& currentURL() const { return m_currentURL; }
    bool isHiddenAttempt() const { return m_isHiddenAttempt; }
    bool isVerifyingSubmission() const { return m_isVerifyingSubmission; }

private:
    void configureWindow(const QUrl& url, PortalAssistantHost* host, bool observing);
    void revealWindow(const QString& reason);
    void handOff(const QString& reason, const QString& category, PortalAssistantHost* host);
    void cancelAutomationTasks();
    void handleAutomationEvent(const PortalAutofillEvent& event, PortalAssistantHost* host);
    void verifyConnectivity(PortalAssistantHost* host);
    void noteProgress(PortalAssistantHost* host);
    QCoro::Task<> runHandoffTimeout(CancellationToken token, QPointer<PortalAssistantHost> host, quint64 nanoseconds);
    QCoro::Task<> runVerification(CancellationToken token, QPointer<PortalAssistantHost> host);
    void windowWillClose();
    void engineFailed(const QString& category);
    void track(PortalAssistantHost* host, AppAnalyticsEventName name, QMap<QString, QString> parameters) const;

    Dependencies m_dependencies;
    std::unique_ptr<PortalAssistantWindowing> m_window;
    std::optional<QUrl> m_currentURL;
    // Whom the window's attempt reports to.
    QPointer<PortalAssistantHost> m_host;
    bool m_isHiddenAttempt = false;
    bool m_isVerifyingSubmission = false;
    std::optional<CancellationToken> m_handoffTask;
    std::optional<CancellationToken> m_capTask;
    std::optional<CancellationToken> m_verificationTask;
    std::optional<QString> m_lastAutofillAnalyticsSignature;
    Logger m_logger;
};
