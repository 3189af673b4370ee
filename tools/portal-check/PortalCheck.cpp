#include "PortalCheck.h"

#include "portal/PortalAutofillScript.h"
#include "portal/web/PortalWebPage.h"
#include "portal/web/WebEnginePortalBrowser.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    QDeadlineTimer deadline(timeout);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

} // namespace

PortalCheck::PortalCheck()
    : m_page(std::make_unique<PortalWebPage>(WebEnginePortalBrowser::sharedProfile())),
      m_browser(std::make_unique<WebEnginePortalBrowser>(m_page.get()))
{
    m_view.setPage(m_page.get());
    m_view.resize(980, 700);
    m_view.setAttribute(Qt::WA_DontShowOnScreen, true);
    m_view.show();
}

PortalCheck::~PortalCheck() = default;

bool PortalCheck::load(const QUrl& url)
{
    bool finished = false;
    const QMetaObject::Connection connection =
        QObject::connect(m_browser.get(), &PortalBrowsing::loadFinished, [&finished] { finished = true; });
    m_browser->load(url);
    spinUntil([&] { return finished; }, std::chrono::seconds(25));
    QObject::disconnect(connection);
    return finished;
}

std::optional<QString> PortalCheck::runOnce(const PortalAutofillProfile& profile, bool submit)
{
    std::optional<std::optional<QString>> answer;
    m_browser->evaluate(PortalAutofillScript::make(profile, submit), [&answer](std::optional<QString> text) { answer = text; });
    if (!spinUntil([&] { return answer.has_value(); }, std::chrono::seconds(10)))
        return std::nullopt;
    return *answer;
}

std::optional<QString> PortalCheck::runUntilSettled(const PortalAutofillProfile& profile, bool submit)
{
    std::optional<QString> text;
    for (int pass = 0; pass < 6; ++pass) {
        text = runOnce(profile, submit);
        const std::optional<PortalAutofillEvent> event = text ? PortalAutofillEvent::fromJSON(text->toUtf8()) : std::nullopt;
        if (!event)
            return text;
        const bool waiting = !event->blocked && !event->submitted && event->filledFields == 0 && event->checkedBoxes == 0;
        if (!waiting)
            return text;
        spinUntil([] { return false; }, std::chrono::milliseconds(500));
    }
    return text;
}

int PortalCheck::unseenDialogs() const
{
    return m_page->unseenDialogs();
}
