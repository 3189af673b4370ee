#pragma once

#include <QString>
#include <QUtf8StringView>

struct PortalAutofillProfile;

// Builds the self-contained page script that fills a simple portal form from the profile and reports
// what it did as the JSON text of a PortalAutofillEvent.
struct PortalAutofillScript {
    static QString make(const PortalAutofillProfile& profile, bool autoSubmit);

    // The gender the script prefers for radio buttons, drop-downs and gender buttons.
    static QString preferredGender(const PortalAutofillProfile& normalizedProfile);

private:
    static QUtf8StringView bodyUtf8();
};
