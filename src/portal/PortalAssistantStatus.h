#pragma once

#include "portal/PortalAutofillEvent.h"

#include <QString>

struct PortalAutofillProfile;

// The status card of the assistant window for the last script outcome.
struct PortalAssistantStatus {
    enum class Symbol { raisedHand, sealedCheckmark, checkmarkCircle, sparkles };

    Symbol symbol = Symbol::sparkles;
    QString title;
    QString detail;

    static PortalAssistantStatus make(const PortalAutofillEvent& event, const PortalAutofillProfile& profile);

    bool operator==(const PortalAssistantStatus&) const = default;
};
