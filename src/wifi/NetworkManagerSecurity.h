#pragma once

#include "wifi/NetworkManagerTypes.h"
#include "wifi/WiFiSecurityCode.h"

#include <QList>

// How an access point's NetworkManager flags map onto those codes:
// - no privacy bit and no WPA or RSN flags at all → none (open);
// - 802.1X key management → WPAEnterprise (WPA flags) / WPA2Enterprise (RSN); EAP Suite-B-192 → WPA3Enterprise;
// - PSK → WPAPersonal (WPA) / WPA2Personal (RSN); SAE → WPA3Personal;
// - privacy without any WPA or RSN flags is WEP-style. NetworkManager cannot tell static from
//   dynamic WEP, so it counts as DynamicWEP, a personal code: such a network is never joined;
// - OWE → OWE, which the rules do not ask about (unknown); anything else supports no listed code.
namespace NetworkManagerSecurity {
// Every code the access point supports (a WPA2/WPA3 transition network supports both).
QList<WiFiSecurityCode> supportedCodes(const NetworkManagerAccessPoint& point);
// The one code describing the joined network: the first supported code in the order
// None, WPA3/WPA2/WPA enterprise, WPA3/WPA2/WPA personal, dynamic WEP, OWE; Unknown when none.
WiFiSecurityCode currentCode(const NetworkManagerAccessPoint& point);
// No privacy and no key management at all: joinable without any security settings.
bool isOpen(const NetworkManagerAccessPoint& point);
} // namespace NetworkManagerSecurity
