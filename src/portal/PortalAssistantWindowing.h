#pragma once

#include "portal/PortalAutofillEvent.h"
#include "portal/PortalAutofillProfile.h"

#include <QLocale>
#include <QObject>
#include <QUrl>
#include <functional>

// The inputs of the window's content: the portal, the details to start from, the language of its
// texts and three hooks.
struct PortalAssistantViewInputs {
    QUrl url;
    PortalAutofillProfile initialProfile;
    QLocale locale{QLocale::English};
    std::function<void(const PortalAutofillProfile&)> onSave;
    std::function<void()> onOpenInBrowser;
    std::function<void(const PortalAutofillEvent&)> onEvent;
};

// The assistant window as its controller drives it; the web layer supplies the real one.
class PortalAssistantWindowing : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Replaces the content with a fresh view (and a fresh page load) for the inputs.
    virtual void setContent(PortalAssistantViewInputs inputs) = 0;
    // Keeps the window, its page and its scripts alive but off screen.
    virtual void orderOut() = 0;
    // Shows the window (restoring it when minimised), raises and activates it.
    virtual void bringToFront() = 0;
    // Closes the window; willClose follows.
    virtual void close() = 0;
    // Why an automatic attempt gave the portal to the user; shown until the next script outcome.
    virtual void showHandoffReason(const QString& reason) { Q_UNUSED(reason); }
    // The window's title while it is on screen; empty otherwise.
    virtual QString titleOnScreen() const { return {}; }

Q_SIGNALS:
    // The window is closing, by the user or by close().
    void willClose();
    // The page engine behind the window is gone (crashed, hung, misbehaved): the window shows nothing
    // until it is brought to front again, which starts a fresh one. `category` names why.
    void engineFailed(const QString& category);
};
