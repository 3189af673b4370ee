#pragma once

#include "wifi/NetworkSecurity.h"

// Security types a network can offer, numbered as the Wi-Fi facility reports them for the current
// association and asks about for scanned networks.
enum class WiFiSecurityCode {
    none = 0,
    wep = 1,
    wpaPersonal = 2,
    wpaPersonalMixed = 3,
    wpa2Personal = 4,
    personal = 5,
    dynamicWEP = 6,
    wpaEnterprise = 7,
    wpaEnterpriseMixed = 8,
    wpa2Enterprise = 9,
    enterprise = 10,
    wpa3Personal = 11,
    wpa3Enterprise = 12,
    wpa3Transition = 13,
    owe = 14,
    oweTransition = 15,
    unknown = 0x7fffffff,
};

// The class of the joined network's current security: none is open; WPA, WPA2, WPA3 personal and
// dynamic WEP are personal; WPA, WPA2, WPA3 enterprise are enterprise; anything else is unknown.
NetworkSecurity networkSecurity(WiFiSecurityCode currentSecurity);
