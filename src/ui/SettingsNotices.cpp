#include "ui/SettingsNotices.h"

#include "portal/PortalAutofillProfile.h"
#include "ui/StatusNetworks.h"
#include "ui/UiText.h"

using namespace Qt::StringLiterals;

namespace SettingsNotices {

std::optional<StateNotice> settings(LocationAuthorizationStatus location, LaunchAtLoginStatus launchAtLogin,
                                    bool isConnecting, ConnectionState::Kind connectionState,
                                    const std::optional<QString>& updateStatusMessage, const QLocale& locale)
{
    const auto t = [&locale](const QString& key) { return uiText(key, locale); };
    if (StatusNetworks::isLocationNeeded(location))
        return StateNotice{t(u"Setup needs Wi-Fi permission"_s), t(u"Open Network Settings so BrewBeacon can read Wi-Fi names."_s),
                           u"location.circle.fill"_s, StateNotice::Tone::warning, false};
    if (launchAtLogin == LaunchAtLoginStatus::requiresApproval)
        return StateNotice{t(u"Login item needs approval"_s),
                           t(u"Approve BrewBeacon once so it can start when you sign in."_s), u"gear.circle.fill"_s,
                           StateNotice::Tone::warning, false};
    if (isConnecting)
        return StateNotice{
            t(u"Joining cafe Wi-Fi"_s),
            t(u"Settings stay available while BrewBeacon tries the best open cafe or guest network."_s),
            u"antenna.radiowaves.left.and.right.circle.fill"_s, StateNotice::Tone::active, true};
    if (connectionState == ConnectionState::Kind::scanning)
        return StateNotice{t(u"Reading nearby Wi-Fi"_s), t(u"Settings stay available while the network list refreshes."_s),
                           u"wifi.circle.fill"_s, StateNotice::Tone::active, true};
    if (updateStatusMessage && !updateStatusMessage->isEmpty())
        return StateNotice{t(u"Update check issue"_s), t(*updateStatusMessage), u"exclamationmark.triangle.fill"_s,
                           StateNotice::Tone::danger, false};
    return std::nullopt;
}

std::optional<StateNotice> formValues(const PortalAutofillProfile& profile, const QLocale& locale)
{
    const PortalAutofillProfile normalized = profile.normalized();
    if (normalized.canAutoSubmitSimplePortal())
        return std::nullopt;
    // Nothing entered is not a fault: every portal then gets freshly generated details, none of them
    // stored, so the empty form is what the user saved, even right after such a sign-in.
    if (normalized == PortalAutofillProfile::empty().normalized())
        return StateNotice{uiText(u"Generated details in use"_s, locale),
                           uiText(u"Each portal gets freshly generated visitor details, and none are stored. Enter "
                                  u"your own to use the same details every time."_s,
                                  locale),
                           u"info.circle"_s, StateNotice::Tone::muted, false};
    return StateNotice{uiText(u"Needs required details"_s, locale),
                       uiText(u"Enter a name, email, postal code, and 4-digit birth year."_s, locale),
                       u"exclamationmark.triangle.fill"_s, StateNotice::Tone::warning, false};
}

} // namespace SettingsNotices
