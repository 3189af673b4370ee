#pragma once

#include "wifi/ConnectionState.h"
#include "wifi/PortalState.h"
#include "wifi/WiFiSnapshot.h"

#include <QDateTime>

// How a connectivity check turns what it read into the connection state it publishes. Shared by the
// assistant and the command-line companion so both report a network the same way.
namespace CheckedConnectionState {

// Joined to a visible network: `captive` when the probe saw a portal, else `connected` (also when the
// probe could not tell).
ConnectionState joined(const QString& ssid, const PortalState& portal);

// A usable path without a visible network name (wired, or the name withheld): `captive` "Wi-Fi",
// `connected` "Internet", or `offline` when the probe could not tell.
ConnectionState withoutVisibleSSID(const PortalState& portal);

// The snapshot published when the radio is off: `failed` "Wi-Fi is off.", portal `unavailable`.
WiFiSnapshot wifiOffSnapshot(const QDateTime& now);

} // namespace CheckedConnectionState
