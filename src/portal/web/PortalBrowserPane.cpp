#include "portal/web/PortalBrowserPane.h"

#include "portal/PortalWebViewCoordinator.h"
#include "portal/web/PortalWebPage.h"
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
    m_page = new PortalWebPage(WebEnginePortalBrowser::sharedProfile(), m_webView);
    m_webView->setPage(m_page);
    m_webView->setMinimumSize(620, 560);
    layout->addWidget(m_webView);
    m_browser = new WebEnginePortalBrowser(m_webView->page(), this);
    m_coordinator = new PortalWebViewCoordinator(std::move(view), m_browser, std::move(sleeper), this);
    m_coordinator->start();
}

PortalBrowserPane::~PortalBrowserPane() = default;

void PortalBrowserPane::setShownToUser(bool shown)
{
    m_page->setShownToUser(shown);
}

void PortalBrowserPane::update(PortalWebView view)
{
    m_coordinator->update(std::move(view));
}

void PortalBrowserPane::fillAgain(PortalWebView view)
{
    m_coordinator->update(std::move(view), true);
}
