#include "portal/web/WebEnginePortalBrowser.h"

#include <QCoreApplication>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>

using namespace Qt::StringLiterals;

namespace {
constexpr auto loadTimeout = std::chrono::seconds(20);
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
    connect(page, &QWebEnginePage::loadStarted, this, [this] { m_loading = true; });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_loading = false;
        m_loadTimeout.stop();
        if (ok)
            Q_EMIT loadFinished();
    });
}

void WebEnginePortalBrowser::load(const QUrl& url)
{
    if (!m_page)
        return;
    QWebEngineHttpRequest request(url);
    request.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
    request.setHeader(QByteArrayLiteral("Pragma"), QByteArrayLiteral("no-cache"));
    m_loading = true;
    m_loadTimeout.start();
    m_page->load(request);
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
