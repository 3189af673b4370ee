#pragma once

#include <QString>
#include <QStringList>
#include <QUtf8StringView>

struct PortalAutofillProfile;

// Builds the self-contained page script that fills a simple portal form from the profile and reports
// what it did as the JSON text of a PortalAutofillEvent.
struct PortalAutofillScript {
    // What the host knows about the attempt that the page must not be trusted to remember.
    struct Context {
        // Steps pressed earlier in this attempt: the script never presses one of them again.
        QStringList pressedSteps;
        // The portal's hosts; empty means any page (a single page checked on its own).
        QStringList portalHosts;
    };

    static QString make(const PortalAutofillProfile& profile, bool autoSubmit);
    static QString make(const PortalAutofillProfile& profile, bool autoSubmit, const Context& context);

    // The gender the script prefers for radio buttons, drop-downs and gender buttons.
    static QString preferredGender(const PortalAutofillProfile& normalizedProfile);

private:
    static QUtf8StringView bodyUtf8();
};
