#include "wifi/WiFiSecurityCode.h"

NetworkSecurity networkSecurity(WiFiSecurityCode currentSecurity)
{
    switch (currentSecurity) {
    case WiFiSecurityCode::none:
        return NetworkSecurity::open;
    case WiFiSecurityCode::wpaPersonal:
    case WiFiSecurityCode::wpa2Personal:
    case WiFiSecurityCode::dynamicWEP:
    case WiFiSecurityCode::wpa3Personal:
        return NetworkSecurity::personal;
    case WiFiSecurityCode::wpaEnterprise:
    case WiFiSecurityCode::wpa2Enterprise:
    case WiFiSecurityCode::wpa3Enterprise:
        return NetworkSecurity::enterprise;
    default:
        return NetworkSecurity::unknown;
    }
}
