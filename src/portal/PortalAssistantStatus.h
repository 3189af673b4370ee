#pragma once

#include "portal/PortalAutofillEvent.h"

#include <QLocale>
#include <QString>

struct PortalAutofillProfile;

// The status card of the assistant window for the last script outcome.
struct PortalAssistantStatus {
    enum class Symbol { raisedHand, sealedCheckmark, checkmarkCircle, sparkles };

    Symbol symbol = Symbol::sparkles;
    QString title;
    QString detail;

    // Texts in the locale's language; a reason becomes a sentence a person understands.
    static PortalAssistantStatus make(const PortalAutofillEvent& event, const PortalAutofillProfile& profile,
                                      const QLocale& locale = QLocale(QLocale::English));

    bool operator==(const PortalAssistantStatus&) const = default;
};
