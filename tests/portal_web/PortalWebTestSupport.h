#pragma once
// Loading a portal page into a real web engine page and running the page script on it.

#include "portal/PortalAutofillEvent.h"
#include "portal/PortalAutofillProfile.h"
#include "portal/PortalAutofillScript.h"
#include "portal/web/PortalWebPage.h"
#include "portal/web/WebEnginePortalBrowser.h"
#include "testkit/Await.h"

#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>

class PortalPageRunner {
public:
    // The page lives in a window-sized view shown off screen, as in the assistant's window: pages
    // lay out against a real viewport, so visibility tests see what a visitor would; its dialogs are
    // answered unseen, as in a hidden attempt.
    PortalPageRunner()
        : m_page(std::make_unique<PortalWebPage>(WebEnginePortalBrowser::sharedProfile())),
          m_browser(std::make_unique<WebEnginePortalBrowser>(m_page.get()))
    {
        m_view.setPage(m_page.get());
        m_view.resize(980, 700);
        m_view.setAttribute(Qt::WA_DontShowOnScreen, true);
        m_view.show();
        QObject::connect(m_browser.get(), &PortalBrowsing::loadFinished, [this] { ++m_loads; });
    }

    bool load(const QUrl& url)
    {
        const int before = m_loads;
        m_browser->load(url);
        QEventLoop loop;
        QObject::connect(m_browser.get(), &PortalBrowsing::loadFinished, &loop, &QEventLoop::quit);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        if (m_loads == before)
            loop.exec();
        return m_loads > before;
    }
    int loads() const { return m_loads; }
    QUrl url() const { return m_browser->url(); }

    // The script's JSON result decoded; none when it threw or returned something else.
    std::optional<PortalAutofillEvent> run(const PortalAutofillProfile& profile, bool autoSubmit)
    {
        std::optional<std::optional<QString>> answer;
        m_browser->evaluate(PortalAutofillScript::make(profile, autoSubmit), [&](std::optional<QString> text) { answer = text; });
        if (!spinUntil([&] { return answer.has_value(); }, std::chrono::seconds(10)) || !*answer)
            return std::nullopt;
        return PortalAutofillEvent::fromJSON((*answer)->toUtf8());
    }
    // Runs again while the page is still building its form, as the web view's follow-up passes do.
    std::optional<PortalAutofillEvent> runUntilSomethingHappens(const PortalAutofillProfile& profile, bool autoSubmit)
    {
        std::optional<PortalAutofillEvent> event;
        for (int pass = 0; pass < 6; ++pass) {
            event = run(profile, autoSubmit);
            const bool nothingYet = event && event->reason && event->reason->contains(u"could not find a supported field");
            if (!event || (event->blocked && !nothingYet) || event->filledFields > 0 || event->submitted)
                return event;
            spinUntil([] { return false; }, std::chrono::milliseconds(500));
        }
        return event;
    }
    QString evaluateText(const QString& script)
    {
        std::optional<std::optional<QString>> answer;
        m_browser->evaluate(script, [&](std::optional<QString> text) { answer = text; });
        spinUntil([&] { return answer.has_value(); }, std::chrono::seconds(10));
        return answer && *answer ? **answer : QString();
    }

private:
    QWebEngineView m_view; // declared first, so it goes after the page it shows
    std::unique_ptr<PortalWebPage> m_page;
    std::unique_ptr<WebEnginePortalBrowser> m_browser;
    int m_loads = 0;
};

inline PortalAutofillProfile visitor()
{
    PortalAutofillProfile profile;
    profile.fullName = QStringLiteral("Linh Tran");
    profile.firstName = QStringLiteral("Linh");
    profile.lastName = QStringLiteral("Tran");
    profile.emailAddress = QStringLiteral("linh.tran@example.com");
    profile.phoneNumber = QStringLiteral("0901234567");
    profile.postalCode = QStringLiteral("700000");
    profile.birthYear = QStringLiteral("1998");
    profile.birthMonth = QStringLiteral("2");
    profile.birthDay = QStringLiteral("15");
    profile.gender = QStringLiteral("female");
    return profile;
}
