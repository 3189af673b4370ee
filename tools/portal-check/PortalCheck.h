#pragma once

#include "portal/PortalAutofillEvent.h"
#include "portal/PortalAutofillProfile.h"

#include <QUrl>
#include <QWebEngineView>
#include <memory>
#include <optional>

class PortalWebPage;
class WebEnginePortalBrowser;

// One portal page in a view laid out like the assistant's window but never shown, its dialogs answered
// unseen, and the page script run on it the way the follow-up passes do.
class PortalCheck {
public:
    PortalCheck();
    ~PortalCheck();

    bool load(const QUrl& url);
    // Runs the script until the page gives a verdict: a blocker, a press, something filled, or six
    // passes half a second apart. The raw JSON text of the last run; none when the script failed.
    std::optional<QString> runUntilSettled(const PortalAutofillProfile& profile, bool submit);
    int unseenDialogs() const;

private:
    std::optional<QString> runOnce(const PortalAutofillProfile& profile, bool submit);

    QWebEngineView m_view; // declared first, so it goes after the page it shows
    std::unique_ptr<PortalWebPage> m_page;
    std::unique_ptr<WebEnginePortalBrowser> m_browser;
};
