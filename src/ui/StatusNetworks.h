#pragma once

#include "state/LocationAuthorizationStatus.h"
#include "wifi/PublicNetworkCandidate.h"
#include "wifi/WiFiSnapshot.h"

#include <QList>
#include <QLocale>
#include <optional>

// The values the status view derives from the published state on every change.
namespace StatusNetworks {

// The snapshot is still being read, or a join is under way.
bool isReading(const WiFiSnapshot& snapshot, bool isConnecting);

// The best network followed by the open candidates, one per SSID (first wins), by quality then SSID
// (case-insensitive, in the user's locale).
QList<PublicNetworkCandidate> publicNetworks(const WiFiSnapshot& snapshot, const QLocale& locale = QLocale());

// The joined network when it is open, else the public network named like the current SSID.
std::optional<PublicNetworkCandidate> connectedPublicNetwork(const WiFiSnapshot& snapshot,
                                                             const QList<PublicNetworkCandidate>& publicNetworks);

// Wi-Fi names stay hidden until the permission is granted.
bool isLocationNeeded(LocationAuthorizationStatus status);

} // namespace StatusNetworks
