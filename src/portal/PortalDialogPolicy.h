#pragma once

#include <QString>

// What to do with a JavaScript dialog (alert, confirm, prompt) a portal page opens. During a hidden
// attempt nobody could answer a box, so it is answered at once without showing anything; in the
// window shown to the user the page's box is shown as usual.
struct PortalDialogPolicy {
    enum class Kind { alert, confirm, prompt };

    struct Answer {
        bool show = false;   // let the user see and answer it
        bool accept = false; // when not shown: OK (true) or Cancel (false)
        bool operator==(const Answer&) const = default;
    };

    static Answer answer(Kind kind, const QString& message, bool hidden);
    // A confirmation that asks to accept terms of use (the only one answered yes unseen).
    static bool asksToAcceptTerms(const QString& message);
    static QString kindName(Kind kind);
};
