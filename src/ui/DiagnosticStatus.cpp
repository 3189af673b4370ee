#include "ui/DiagnosticStatus.h"

#include "ui/UiText.h"

using namespace Qt::StringLiterals;

DiagnosticStatus DiagnosticStatus::cafeWiFi(const WiFiSnapshot& snapshot,
                                            const std::optional<PublicNetworkCandidate>& connectedPublicNetwork,
                                            bool isReading, bool isLocationNeeded, const QLocale& locale)
{
    const auto t = [&locale](const QString& key) { return uiText(key, locale); };
    const QString label = t(u"Cafe Wi-Fi"_s);
    const QString yes = t(u"Yes"_s);
    const QString unknown = t(u"Unknown"_s);

    if (isReading && !snapshot.currentNetwork && !connectedPublicNetwork)
        return {label, std::nullopt, t(u"Reading Wi-Fi details."_s), u"wifi.circle.fill"_s,
                DiagnosticStatusTone::active, true};
    if (snapshot.currentNetwork) {
        if (snapshot.currentNetwork->isOpen())
            return {label, yes, t(u"Current network is open."_s), u"wifi.circle.fill"_s, DiagnosticStatusTone::active,
                    false};
        const QString security = rawValue(snapshot.currentNetwork->security);
        return {label, t(u"No"_s), t(security + u" network."_s), u"lock.fill"_s, DiagnosticStatusTone::muted, false};
    }
    if (connectedPublicNetwork)
        return {label, yes, t(u"Current SSID matches an open scan result."_s), u"wifi.circle.fill"_s,
                DiagnosticStatusTone::active, false};
    if (snapshot.currentSSID)
        return {label, unknown, t(u"NetworkManager has not reported security details yet."_s), u"questionmark.circle.fill"_s,
                DiagnosticStatusTone::warning, false};
    if (isLocationNeeded)
        return {label, unknown, t(u"Allow Wi-Fi scanning to read Wi-Fi names."_s), u"questionmark.circle.fill"_s,
                DiagnosticStatusTone::muted, false};
    return {label, unknown, t(u"No current Wi-Fi name is visible."_s), u"questionmark.circle.fill"_s,
            DiagnosticStatusTone::muted, false};
}

DiagnosticStatus DiagnosticStatus::captivePortal(const PortalState& portalState, bool isReading, const QLocale& locale)
{
    const auto t = [&locale](const QString& key) { return uiText(key, locale); };
    const QString label = t(u"Captive Portal"_s);
    switch (portalState.kind()) {
    case PortalState::Kind::detected:
        return {label, t(u"Yes"_s), t(u"Portal URL detected."_s), u"safari.fill"_s, DiagnosticStatusTone::warning,
                false};
    case PortalState::Kind::suspected:
        return {label, t(u"Likely"_s),
                portalState.portalURL() ? t(u"Portal response detected."_s) : t(u"Portal suspected; URL hidden."_s),
                u"safari"_s, DiagnosticStatusTone::warning, false};
    case PortalState::Kind::unknown:
        if (!isReading)
            return {label, t(u"Unknown"_s), t(u"Checked once a Wi-Fi network is joined."_s), u"safari"_s,
                    DiagnosticStatusTone::muted, false};
        return {label, std::nullopt, t(u"Portal probe in progress."_s), u"safari"_s, DiagnosticStatusTone::active,
                true};
    case PortalState::Kind::online:
        return {label, t(u"No"_s), t(u"Internet access is verified."_s), u"checkmark.circle.fill"_s,
                DiagnosticStatusTone::active, false};
    case PortalState::Kind::unavailable:
        break;
    }
    return {label, t(u"Unknown"_s), t(u"Portal probe could not finish."_s), u"exclamationmark.triangle.fill"_s,
            DiagnosticStatusTone::danger, false};
}

DiagnosticStatus DiagnosticStatus::portalHelper(const QLocale& locale)
{
    return {uiText(u"Portal Helper"_s, locale), uiText(u"Safe help"_s, locale),
            uiText(u"Simple cafe portal help is on."_s, locale), u"hand.raised.fill"_s, DiagnosticStatusTone::muted,
            false};
}
