#include "portal/PortalAssistantStatus.h"

#include "portal/PortalAssistantTexts.h"
#include "portal/PortalAutofillProfile.h"

using namespace Qt::StringLiterals;

PortalAssistantStatus PortalAssistantStatus::make(const PortalAutofillEvent& event, const PortalAutofillProfile& profile,
                                                  const QLocale& locale)
{
    const auto text = [&locale](const QString& english) { return PortalAssistantTexts::text(english, locale); };
    const bool touched = event.filledFields > 0 || event.checkedBoxes > 0;
    PortalAssistantStatus status;
    if (event.blocked)
        status = {Symbol::raisedHand, text(u"Needs your review"_s), {}};
    else if (event.submitted)
        status = {Symbol::sealedCheckmark, text(u"Submitted"_s), {}};
    else if (touched)
        status = {Symbol::checkmarkCircle, text(u"Filled"_s), {}};
    else
        status = {Symbol::sparkles, text(u"Ready"_s), {}};

    if (event.reason)
        status.detail = PortalAssistantTexts::reasonSentence(*event.reason, locale);
    else if (event.submitted)
        status.detail = text(u"BrewBeacon submitted a simple portal form."_s);
    else if (touched)
        status.detail = text(u"Filled %1 field(s) and checked %2 box(es)."_s).arg(event.filledFields).arg(event.checkedBoxes);
    else if (profile.canFillIdentityFields())
        status.detail = text(u"BrewBeacon will fill matching name and birth-year fields."_s);
    else
        status.detail = text(u"BrewBeacon will use generated visitor details, then leave the portal here if manual input is needed."_s);
    return status;
}
