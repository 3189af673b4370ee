#include "portal/web/PortalWebPage.h"

#include "portal/PortalDialogPolicy.h"
#include "support/Logger.h"

using namespace Qt::StringLiterals;

namespace {

const Logger& logger()
{
    static const Logger instance(u"PortalAutofill"_s);
    return instance;
}

// Answers unseen, or tells the caller to show the page's box.
std::optional<bool> answerUnseen(PortalDialogPolicy::Kind kind, const QString& message, bool shown, int& counter)
{
    const PortalDialogPolicy::Answer answer = PortalDialogPolicy::answer(kind, message, !shown);
    if (answer.show)
        return std::nullopt;
    ++counter;
    logger().log("Portal dialog answered unseen: kind=%{public}s, accepted=%{bool,public}d, message=%{private}s",
                 PortalDialogPolicy::kindName(kind), answer.accept, message.left(500));
    return answer.accept;
}

} // namespace

PortalWebPage::PortalWebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

void PortalWebPage::javaScriptAlert(const QUrl& securityOrigin, const QString& message)
{
    if (!answerUnseen(PortalDialogPolicy::Kind::alert, message, m_shownToUser, m_unseenDialogs))
        QWebEnginePage::javaScriptAlert(securityOrigin, message);
}

bool PortalWebPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& message)
{
    if (const auto accepted = answerUnseen(PortalDialogPolicy::Kind::confirm, message, m_shownToUser, m_unseenDialogs))
        return *accepted;
    return QWebEnginePage::javaScriptConfirm(securityOrigin, message);
}

bool PortalWebPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                                     QString* result)
{
    if (const auto accepted = answerUnseen(PortalDialogPolicy::Kind::prompt, message, m_shownToUser, m_unseenDialogs))
        return *accepted;
    return QWebEnginePage::javaScriptPrompt(securityOrigin, message, defaultValue, result);
}
