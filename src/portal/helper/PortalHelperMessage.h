#pragma once

#include "portal/PortalAutofillEvent.h"
#include "portal/PortalAutofillProfile.h"

#include <QString>
#include <QUrl>

// One message between the tray and the portal helper process. Which fields count depends on the type.
struct PortalHelperMessage {
    enum class Type {
        // Both ways, first and only once: the protocol version.
        hello,
        // Tray to helper: a fresh view (and page load) for the portal, the details and the language.
        content,
        orderOut,
        bringToFront,
        handoffReason,
        close,
        ping,
        // Helper to tray.
        pong,
        event,
        save,
        openInBrowser,
        shown,
        closed,
    };
    enum class Sender { tray, helper };

    Type type = Type::hello;
    int version = 0;                // hello
    qint64 sequence = 0;            // ping, pong
    QUrl url;                       // content
    QString language;               // content: a locale name such as "vi_VN"
    PortalAutofillProfile profile;  // content, save
    QString text;                   // handoffReason: the reason; shown: the window's title
    PortalAutofillEvent event;      // event

    static PortalHelperMessage ofType(Type type);
    static Sender senderOf(Type type);
    static QString typeName(Type type);

    bool operator==(const PortalHelperMessage&) const = default;
};
