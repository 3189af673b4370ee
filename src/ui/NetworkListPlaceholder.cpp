#include "ui/NetworkListPlaceholder.h"

#include "ui/UiText.h"

using namespace Qt::StringLiterals;

NetworkListPlaceholder NetworkListPlaceholder::make(const WiFiSnapshot& snapshot, bool isReading, bool isConnecting,
                                                    bool isLocationNeeded, const QLocale& locale)
{
    const auto t = [&locale](const QString& key) { return uiText(key, locale); };
    if (isReading) {
        return {true, t(u"Reading nearby cafe Wi-Fi"_s),
                isConnecting ? t(u"The best open network will appear here after the connection settles."_s)
                             : t(u"Results appear here as soon as NetworkManager returns the scan."_s)};
    }

    const bool hasCandidates = !snapshot.candidates.isEmpty();
    const auto kind = snapshot.connectionState.kind();
    const bool connected = kind == ConnectionState::Kind::connected;
    const bool captive = kind == ConnectionState::Kind::captive;

    QString title;
    if (hasCandidates)
        title = t(u"No open cafe Wi-Fi found"_s);
    else if (snapshot.currentSSID)
        title = t(u"Scan list unavailable"_s);
    else if (connected)
        title = t(u"Wi-Fi name hidden"_s);
    else if (captive)
        title = t(u"Portal Wi-Fi detected"_s);
    else
        title = t(u"No cafe Wi-Fi found"_s);

    QString detail;
    if (isLocationNeeded)
        detail = t(u"Allow Wi-Fi scanning for your user in NetworkManager to see nearby Wi-Fi names."_s);
    else if (hasCandidates)
        detail = t(u"Nearby Wi-Fi was scanned, but none of the visible networks are open."_s);
    else if (captive)
        detail = t(u"BrewBeacon detected a portal path even though NetworkManager did not return a ranked Wi-Fi list."_s);
    else if (connected)
        detail = t(u"Internet is verified, but NetworkManager has not reported the current Wi-Fi name or scan list."_s);
    else
        detail = t(u"BrewBeacon will update this when an open cafe or guest network appears."_s);

    return {false, title, detail};
}
