#pragma once

#include "portal/PortalHostScope.h"
#include "portal/PortalPressMemory.h"
#include "portal/PortalWebView.h"
#include "support/CancellationToken.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

class PortalBrowsing;
class RetrySleeping;

// Keeps the web view's state between rebuilds: loads the requested address, runs the page script after
// every finished load and on the follow-up schedules, and reports each outcome through onEvent.
// It remembers the steps pressed during the attempt and the portal's hosts, so no step is pressed twice
// and nothing runs on a page outside the portal; one script run is in flight at a time.
class PortalWebViewCoordinator : public QObject {
    Q_OBJECT
public:
    PortalWebViewCoordinator(PortalWebView parent, PortalBrowsing* browser, std::shared_ptr<RetrySleeping> sleeper,
                             QObject* owner = nullptr);
    ~PortalWebViewCoordinator() override;

    // Loads the view's address; called once when the browser is created.
    void start();
    // Takes the rebuilt view's values; `force` runs the script on the loaded page even when nothing
    // it depends on changed (the user's "Fill Again").
    void update(PortalWebView parent, bool force = false);

    const PortalWebView& parent() const { return m_parent; }
    const QUrl& requestedURL() const { return m_requestedURL; }
    const std::optional<QString>& lastAppliedSignature() const { return m_lastAppliedSignature; }
    const PortalPressMemory& pressMemory() const { return m_pressMemory; }
    const PortalHostScope& hostScope() const { return m_hostScope; }

private:
    void pageDidFinishLoad();
    void applyAutofill(bool force);
    void handleResult(const std::optional<QString>& result);
    void beginAttempt(const QUrl& url);
    std::optional<CancellationToken> startFollowUps(const PortalFollowUpSchedule& schedule);
    QCoro::Task<> runFollowUps(PortalFollowUpSchedule schedule, CancellationToken token);
    void cancelScheduledPasses();
    static void cancel(std::optional<CancellationToken>& task);

    PortalWebView m_parent;
    QUrl m_requestedURL;
    std::optional<QString> m_lastAppliedSignature;
    std::optional<CancellationToken> m_loadFollowUpTask;
    std::optional<CancellationToken> m_submitFollowUpTask;
    PortalPressMemory m_pressMemory;
    PortalHostScope m_hostScope;
    // A run whose result has not come back yet, and whether another was asked for meanwhile.
    bool m_runInFlight = false;
    bool m_runQueued = false;
    int m_passesWhileInFlight = 0;
    QPointer<PortalBrowsing> m_browser;
    std::shared_ptr<RetrySleeping> m_sleeper;
};
