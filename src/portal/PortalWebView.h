#pragma once

#include "portal/PortalAutofillEvent.h"
#include "portal/PortalAutofillProfile.h"

#include <QUrl>
#include <functional>

// The inputs of the portal browser pane, rebuilt by the window whenever they change.
struct PortalWebView {
    QUrl url;
    PortalAutofillProfile profile;
    bool autofillEnabled = true;
    bool autoSubmitEnabled = true;
    // Every script outcome, on the main thread.
    std::function<void(const PortalAutofillEvent&)> onEvent;

    // What makes an unforced run worth repeating: page address, name, birth year and the submit flag.
    QString signature(const QUrl& pageURL) const;
};

// The follow-up passes after a page load and after a submission: sleeps in seconds, each counted
// from the start of the previous pass.
struct PortalFollowUpSchedule {
    QString reason;
    QList<double> sleeps;

    static PortalFollowUpSchedule pageLoad();
    static PortalFollowUpSchedule afterSubmit();
};
