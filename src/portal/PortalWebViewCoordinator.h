#pragma once

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
class PortalWebViewCoordinator : public QObject {
    Q_OBJECT
public:
    PortalWebViewCoordinator(PortalWebView parent, PortalBrowsing* browser, std::shared_ptr<RetrySleeping> sleeper,
                             QObject* owner = nullptr);
    ~PortalWebViewCoordinator() override;

    // Loads the view's address; called once when the browser is created.
    void start();
    // Takes the rebuilt view's values.
    void update(PortalWebView parent);

    const PortalWebView& parent() const { return m_parent; }
    const QUrl& requestedURL() const { return m_requestedURL; }
    const std::optional<QString>& lastAppliedSignature() const { return m_lastAppliedSignature; }

private:
    void pageDidFinishLoad();
    void applyAutofill(bool force);
    void handleResult(const std::optional<QString>& result);
    std::optional<CancellationToken> startFollowUps(const PortalFollowUpSchedule& schedule);
    QCoro::Task<> runFollowUps(PortalFollowUpSchedule schedule, CancellationToken token);
    void cancelScheduledPasses();
    static void cancel(std::optional<CancellationToken>& task);

    PortalWebView m_parent;
    QUrl m_requestedURL;
    std::optional<QString> m_lastAppliedSignature;
    std::optional<CancellationToken> m_loadFollowUpTask;
    std::optional<CancellationToken> m_submitFollowUpTask;
    QPointer<PortalBrowsing> m_browser;
    std::shared_ptr<RetrySleeping> m_sleeper;
};
