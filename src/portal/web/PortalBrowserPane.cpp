#include "portal/web/PortalBrowserPane.h"

#include "portal/PortalWebViewCoordinator.h"
#include "portal/web/WebEnginePortalBrowser.h"

#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

PortalBrowserPane::PortalBrowserPane(PortalWebView view, std::shared_ptr<RetrySleeping> sleeper, QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_webView = new QWebEngineView(this);
    m_webView->setPage(new QWebEnginePage(WebEnginePortalBrowser::sharedProfile(), m_webView));
    m_webView->setMinimumSize(620, 560);
    layout->addWidget(m_webView);
    m_browser = new WebEnginePortalBrowser(m_webView->page(), this);
    m_coordinator = new PortalWebViewCoordinator(std::move(view), m_browser, std::move(sleeper), this);
    m_coordinator->start();
}

PortalBrowserPane::~PortalBrowserPane() = default;

void PortalBrowserPane::update(PortalWebView view)
{
    m_coordinator->update(std::move(view));
}
