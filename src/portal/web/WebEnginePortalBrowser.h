#pragma once

#include "portal/PortalBrowsing.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

class QWebEnginePage;
class QWebEngineProfile;

// PortalBrowsing over one Qt WebEngine page (owned elsewhere, usually by its view).
class WebEnginePortalBrowser final : public PortalBrowsing {
    Q_OBJECT
public:
    explicit WebEnginePortalBrowser(QWebEnginePage* page, QObject* parent = nullptr);
    ~WebEnginePortalBrowser() override;

    void load(const QUrl& url) override;
    bool isLoading() const override { return m_loading; }
    QUrl url() const override;
    void evaluate(const QString& script, std::function<void(std::optional<QString>)> completion) override;

    // The process's persistent portal profile: cookies and site data survive between portal visits,
    // the HTTP cache is off.
    static QWebEngineProfile* sharedProfile();

private:
    void issue();
    void mainFrameRequest(const QUrl& url, int navigationType);

    QPointer<QWebEnginePage> m_page;
    QTimer m_loadTimeout;
    QTimer m_stallTimer;
    QElapsedTimer m_sinceRetry;
    QUrl m_requestedURL;
    // The last main-frame request seen going out (a redirect continues from it).
    QUrl m_lastRequestURL;
    // The issued load's request went out: it is slow, not stalled, and is never sent twice.
    bool m_requestSent = false;
    bool m_warmingUp = false;
    int m_progress = 0;
    int m_stallRetries = 0;
    bool m_loading = false;
};
