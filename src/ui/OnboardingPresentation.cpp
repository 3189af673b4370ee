#include "ui/OnboardingPresentation.h"

#include "ui/UiText.h"

using namespace Qt::StringLiterals;

OnboardingPresentation OnboardingPresentation::make(LocationAuthorizationStatus status, bool gateOn,
                                                    const QLocale& locale)
{
    const auto t = [&locale](const QString& key) { return uiText(key, locale); };
    OnboardingPresentation value;
    value.needsAttention = gateOn && status != LocationAuthorizationStatus::allowed;
    value.rowSystemImage = value.needsAttention ? u"exclamationmark.circle.fill"_s : u"checkmark.circle.fill"_s;
    value.buttonSystemImage = value.needsAttention ? u"location.fill"_s : u"checkmark"_s;
    value.isContinueEnabled = !value.needsAttention;

    switch (status) {
    case LocationAuthorizationStatus::unknown:
    case LocationAuthorizationStatus::notDetermined:
        value.detail = t(u"Required so NetworkManager lets BrewBeacon read Wi-Fi names and nearby cafe or guest networks."_s);
        value.buttonTitle = t(u"Allow"_s);
        value.buttonAction = Action::requestPermission;
        break;
    case LocationAuthorizationStatus::allowed:
        value.detail = t(u"Allowed. NetworkManager lets BrewBeacon read the current Wi-Fi name and nearby cafe or guest networks."_s);
        value.buttonTitle = t(u"Allowed"_s);
        value.buttonAction = Action::none;
        break;
    case LocationAuthorizationStatus::denied:
    case LocationAuthorizationStatus::restricted:
    case LocationAuthorizationStatus::disabled:
        value.detail = status == LocationAuthorizationStatus::denied
            ? t(u"Denied. Allow Wi-Fi scanning and joining for your user in NetworkManager to continue."_s)
            : status == LocationAuthorizationStatus::restricted ? t(u"Restricted by the system's policy (polkit)."_s)
                                                                : t(u"Networking is turned off in NetworkManager."_s);
        value.buttonTitle = t(u"Open Settings"_s);
        value.buttonAction = Action::openSettings;
        break;
    }
    return value;
}
