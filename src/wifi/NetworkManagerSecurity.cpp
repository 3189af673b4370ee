#include "wifi/NetworkManagerSecurity.h"

using namespace NetworkManagerDBus;

QList<WiFiSecurityCode> NetworkManagerSecurity::supportedCodes(const NetworkManagerAccessPoint& point)
{
    constexpr quint32 keyManagement = keyManagementPSK | keyManagement8021X | keyManagementSAE | keyManagementOWE
        | keyManagementEAPSuiteB192;
    const bool privacy = point.flags & apFlagPrivacy;
    const quint32 wpa = point.wpaFlags & keyManagement;
    const quint32 rsn = point.rsnFlags & keyManagement;
    QList<WiFiSecurityCode> codes;
    const bool noWpaAtAll = point.wpaFlags == 0 && point.rsnFlags == 0;
    if (!privacy && noWpaAtAll)
        return {WiFiSecurityCode::none};
    if (rsn & keyManagementEAPSuiteB192)
        codes.append(WiFiSecurityCode::wpa3Enterprise);
    if (rsn & keyManagement8021X)
        codes.append(WiFiSecurityCode::wpa2Enterprise);
    if (wpa & keyManagement8021X)
        codes.append(WiFiSecurityCode::wpaEnterprise);
    if (rsn & keyManagementSAE)
        codes.append(WiFiSecurityCode::wpa3Personal);
    if (rsn & keyManagementPSK)
        codes.append(WiFiSecurityCode::wpa2Personal);
    if (wpa & keyManagementPSK)
        codes.append(WiFiSecurityCode::wpaPersonal);
    if (privacy && noWpaAtAll)
        codes.append(WiFiSecurityCode::dynamicWEP);
    if ((rsn | wpa) & keyManagementOWE)
        codes.append(WiFiSecurityCode::owe);
    return codes;
}

bool NetworkManagerSecurity::isOpen(const NetworkManagerAccessPoint& point)
{
    return !(point.flags & apFlagPrivacy) && point.wpaFlags == 0 && point.rsnFlags == 0;
}

WiFiSecurityCode NetworkManagerSecurity::currentCode(const NetworkManagerAccessPoint& point)
{
    // supportedCodes lists codes in exactly the preference order.
    const QList<WiFiSecurityCode> codes = supportedCodes(point);
    return codes.isEmpty() ? WiFiSecurityCode::unknown : codes.constFirst();
}
