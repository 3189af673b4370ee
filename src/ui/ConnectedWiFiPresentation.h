#pragma once

#include "state/LocationAuthorizationStatus.h"
#include "wifi/ConnectedWiFiTone.h"
#include "wifi/PublicNetworkCandidate.h"
#include "wifi/WiFiSnapshot.h"

#include <QLocale>
#include <QString>
#include <optional>

// The header card of the connection section. Images are symbol names (see UiSymbols for the icons).
struct ConnectedWiFiPresentation {
    QString title;
    QString detail;
    QString systemImage;
    QString headerSystemImage;
    ConnectedWiFiTone tone = ConnectedWiFiTone::muted;

    static ConnectedWiFiPresentation make(const WiFiSnapshot& snapshot,
                                          const std::optional<PublicNetworkCandidate>& connectedPublicNetwork,
                                          LocationAuthorizationStatus locationAuthorizationStatus,
                                          const QLocale& locale = QLocale(QLocale::English));

    bool operator==(const ConnectedWiFiPresentation&) const = default;
};
