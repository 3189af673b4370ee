#pragma once

#include "portal/PortalWebView.h"

#include <QWidget>
#include <memory>

class PortalWebViewCoordinator;
class PortalWebPage;
class QWebEngineView;
class RetrySleeping;
class WebEnginePortalBrowser;

// The browser pane of the assistant window: a web engine view on the shared portal profile, driven by
// a PortalWebViewCoordinator. Loads its address when created.
class PortalBrowserPane final : public QWidget {
    Q_OBJECT
public:
    PortalBrowserPane(PortalWebView view, std::shared_ptr<RetrySleeping> sleeper, QWidget* parent = nullptr);
    ~PortalBrowserPane() override;

    // Takes the rebuilt view's values (same address: at most a re-run; another one: a new load).
    void update(PortalWebView view);
    // The user's "Fill Again": the script runs on the loaded page with the view's values.
    void fillAgain(PortalWebView view);
    QWebEngineView* webView() const { return m_webView; }
    PortalWebPage* page() const { return m_page; }
    const PortalWebViewCoordinator* coordinator() const { return m_coordinator; }
    // Seen by the user: the page's dialogs show; otherwise they are answered unseen.
    void setShownToUser(bool shown);

private:
    QWebEngineView* m_webView = nullptr;
    PortalWebPage* m_page = nullptr;
    WebEnginePortalBrowser* m_browser = nullptr;
    PortalWebViewCoordinator* m_coordinator = nullptr;
};
