#include "portal/web/WebEnginePortalBrowser.h"

#include <QCoreApplication>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

using namespace Qt::StringLiterals;

namespace {
constexpr auto loadTimeout = std::chrono::seconds(20);
// A load with no progress at all by then is re-issued: the web engine's very first request in a process
// is sometimes never sent, and a portal page is small.
constexpr auto stallTimeout = std::chrono::seconds(4);
constexpr int stalledProgress = 10;
constexpr int maxStallRetries = 2;

// The web engine's first navigation in a process sometimes never sends its request, though the request
// watcher saw it, so the stall re-issue cannot tell it from a slow portal. A local page loaded first
// gets the engine going; it is done once per process.
bool engineWarmedUp = false;

// Sees every request of one page before it goes out (on the main thread in Qt 6).
class MainFrameRequestWatcher final : public QWebEngineUrlRequestInterceptor {
public:
    using Callback = std::function<void(const QUrl&, int)>;
    MainFrameRequestWatcher(Callback callback, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), m_callback(std::move(callback)) {}

    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
            m_callback(info.requestUrl(), int(info.navigationType()));
    }

private:
    Callback m_callback;
};
}

WebEnginePortalBrowser::WebEnginePortalBrowser(QWebEnginePage* page, QObject* parent)
    : PortalBrowsing(parent), m_page(page)
{
    m_loadTimeout.setSingleShot(true);
    m_loadTimeout.setInterval(loadTimeout);
    connect(&m_loadTimeout, &QTimer::timeout, this, [this] {
        if (m_page && m_loading)
            m_page->triggerAction(QWebEnginePage::Stop);
    });
    m_stallTimer.setSingleShot(true);
    m_stallTimer.setInterval(stallTimeout);
    connect(&m_stallTimer, &QTimer::timeout, this, [this] {
        // A request that went out belongs to a slow portal: sending it again would post twice.
        if (!m_page || !m_loading || m_requestSent || m_progress > stalledProgress || m_stallRetries >= maxStallRetries)
            return;
        ++m_stallRetries;
        m_page->triggerAction(QWebEnginePage::Stop);
        m_sinceRetry.start();
        issue();
    });
    page->setUrlRequestInterceptor(new MainFrameRequestWatcher(
        [this](const QUrl& url, int navigationType) { mainFrameRequest(url, navigationType); }, this));
    connect(page, &QWebEnginePage::loadProgress, this, [this](int progress) { m_progress = std::max(m_progress, progress); });
    connect(page, &QWebEnginePage::loadStarted, this, [this] { m_loading = true; });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (m_warmingUp) {
            m_warmingUp = false;
            issue();
            return;
        }
        // The stopped attempt of a re-issued load reports its end right after the retry went out.
        if (!ok && m_sinceRetry.isValid() && m_sinceRetry.elapsed() < 500)
            return;
        m_loading = false;
        m_loadTimeout.stop();
        m_stallTimer.stop();
        if (ok)
            Q_EMIT loadFinished();
    });
}

WebEnginePortalBrowser::~WebEnginePortalBrowser()
{
    // The page may outlive this browser; it must not call the watcher that goes with it.
    if (m_page)
        m_page->setUrlRequestInterceptor(nullptr);
}

void WebEnginePortalBrowser::load(const QUrl& url)
{
    if (!m_page)
        return;
    m_requestedURL = url;
    m_stallRetries = 0;
    m_sinceRetry.invalidate();
    m_loading = true;
    m_loadTimeout.start();
    if (!engineWarmedUp) {
        engineWarmedUp = true;
        m_warmingUp = true;
        m_page->setHtml(u"<!doctype html><title></title>"_s);
        return;
    }
    issue();
}

void WebEnginePortalBrowser::issue()
{
    QWebEngineHttpRequest request(m_requestedURL);
    request.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
    request.setHeader(QByteArrayLiteral("Pragma"), QByteArrayLiteral("no-cache"));
    m_progress = 0;
    m_requestSent = false;
    m_stallTimer.start();
    m_page->load(request);
}

void WebEnginePortalBrowser::mainFrameRequest(const QUrl& url, int navigationType)
{
    if (m_warmingUp)
        return;
    m_requestSent = true;
    PortalNavigationKind kind = PortalNavigationKind::other;
    QUrl from = m_page ? m_page->url() : QUrl();
    if (navigationType == QWebEngineUrlRequestInfo::NavigationTypeRedirect) {
        kind = PortalNavigationKind::redirect;
        from = m_lastRequestURL;
    } else if (navigationType == QWebEngineUrlRequestInfo::NavigationTypeFormSubmitted) {
        kind = PortalNavigationKind::formSubmission;
    } else if (navigationType == QWebEngineUrlRequestInfo::NavigationTypeLink) {
        kind = PortalNavigationKind::link;
    } else if (navigationType == QWebEngineUrlRequestInfo::NavigationTypeOther) {
        kind = PortalNavigationKind::pageScript;
    }
    m_lastRequestURL = url;
    Q_EMIT navigationRequested(from, url, kind);
}

QUrl WebEnginePortalBrowser::url() const
{
    return m_page ? m_page->url() : QUrl();
}

void WebEnginePortalBrowser::evaluate(const QString& script, std::function<void(std::optional<QString>)> completion)
{
    if (!m_page)
        return;
    // The main world, so the page globals are the page's own window properties.
    m_page->runJavaScript(script, QWebEngineScript::MainWorld, [completion = std::move(completion)](const QVariant& value) {
        if (value.typeId() == QMetaType::QString)
            completion(value.toString());
        else
            completion(std::nullopt);
    });
}

QWebEngineProfile* WebEnginePortalBrowser::sharedProfile()
{
    static QWebEngineProfile* profile = [] {
        auto* created = new QWebEngineProfile(u"PortalAssistant"_s, QCoreApplication::instance());
        created->setHttpCacheType(QWebEngineProfile::NoCache);
        created->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
        return created;
    }();
    return profile;
}
