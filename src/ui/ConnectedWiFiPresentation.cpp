#include "ui/ConnectedWiFiPresentation.h"

#include "ui/StatusNetworks.h"
#include "ui/UiText.h"

using namespace Qt::StringLiterals;

namespace {

bool isPlaceholderName(const QString& name)
{
    // A blank name would leave the card without a title.
    return name.trimmed().isEmpty() || name == u"Internet"_s || name == u"Wi-Fi"_s;
}

} // namespace

ConnectedWiFiPresentation ConnectedWiFiPresentation::make(
    const WiFiSnapshot& snapshot, const std::optional<PublicNetworkCandidate>& connectedPublicNetwork,
    LocationAuthorizationStatus locationAuthorizationStatus, const QLocale& locale)
{
    const auto t = [&locale](const QString& key) { return uiText(key, locale); };
    const auto& state = snapshot.connectionState;
    const QString portalNeeded = t(u"Portal access is still needed for this Wi-Fi."_s);

    // States that read the same whether or not the name is known.
    switch (state.kind()) {
    case ConnectionState::Kind::ready:
        return {t(u"No cafe Wi-Fi connected"_s), t(u"Ready to find cafe or guest Wi-Fi."_s), u"wifi.slash"_s,
                u"wifi.circle.fill"_s, ConnectedWiFiTone::muted};
    case ConnectionState::Kind::scanning:
        return {t(u"Reading Wi-Fi status"_s),
                t(u"BrewBeacon is reading the current connection and nearby open networks."_s), u"wifi"_s,
                u"wifi.circle.fill"_s, ConnectedWiFiTone::active};
    default:
        break;
    }

    if (snapshot.currentSSID) {
        const QString& ssid = *snapshot.currentSSID;
        switch (state.kind()) {
        case ConnectionState::Kind::connected:
            return {ssid,
                    connectedPublicNetwork ? t(u"Connected cafe Wi-Fi"_s)
                                           : t(u"Internet verified on the current Wi-Fi."_s),
                    u"checkmark.circle.fill"_s, u"wifi.circle.fill"_s, ConnectedWiFiTone::active};
        case ConnectionState::Kind::captive:
            return {ssid, portalNeeded, u"safari"_s, u"wifi.exclamationmark"_s, ConnectedWiFiTone::warning};
        case ConnectionState::Kind::failed:
            return {ssid, t(state.message().value_or(QString())), u"exclamationmark.triangle.fill"_s,
                    u"exclamationmark.triangle.fill"_s, ConnectedWiFiTone::danger};
        default:
            return {ssid, t(u"Connected locally, but internet is not verified yet."_s), u"wifi.exclamationmark"_s,
                    u"wifi.exclamationmark"_s, ConnectedWiFiTone::warning};
        }
    }

    switch (state.kind()) {
    case ConnectionState::Kind::connected: {
        const QString name = state.ssid().value_or(QString());
        const QString detail = StatusNetworks::isLocationNeeded(locationAuthorizationStatus)
            ? t(u"Internet is verified, but the Wi-Fi name stays hidden until NetworkManager lets BrewBeacon scan."_s)
            : t(u"Internet is verified, but NetworkManager has not reported the current Wi-Fi name."_s);
        return {isPlaceholderName(name) ? t(u"Connected Wi-Fi"_s) : name, detail, u"checkmark.circle.fill"_s,
                u"wifi.circle.fill"_s, ConnectedWiFiTone::active};
    }
    case ConnectionState::Kind::captive: {
        const QString name = state.ssid().value_or(QString());
        return {isPlaceholderName(name) ? t(u"Portal Wi-Fi"_s) : name, portalNeeded, u"safari"_s,
                u"wifi.exclamationmark"_s, ConnectedWiFiTone::warning};
    }
    case ConnectionState::Kind::failed:
        return {t(u"Needs attention"_s), t(state.message().value_or(QString())), u"exclamationmark.triangle.fill"_s,
                u"exclamationmark.triangle.fill"_s, ConnectedWiFiTone::danger};
    default:
        return {t(u"No internet connection"_s), t(u"No usable internet path is currently available."_s),
                u"wifi.slash"_s, u"wifi.slash"_s, ConnectedWiFiTone::danger};
    }
}
