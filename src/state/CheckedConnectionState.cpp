#include "state/CheckedConnectionState.h"

using namespace Qt::StringLiterals;

namespace CheckedConnectionState {

ConnectionState joined(const QString& ssid, const PortalState& portal)
{
    return portal.isCaptive() ? ConnectionState::captive(ssid) : ConnectionState::connected(ssid);
}

ConnectionState withoutVisibleSSID(const PortalState& portal)
{
    if (portal.isCaptive())
        return ConnectionState::captive(u"Wi-Fi"_s);
    if (portal.kind() == PortalState::Kind::online)
        return ConnectionState::connected(u"Internet"_s);
    return ConnectionState::offline();
}

WiFiSnapshot wifiOffSnapshot(const QDateTime& now)
{
    WiFiSnapshot snapshot;
    snapshot.connectionState = ConnectionState::failed(u"Wi-Fi is off."_s);
    snapshot.portalState = PortalState::unavailable();
    snapshot.lastUpdated = now;
    return snapshot;
}

} // namespace CheckedConnectionState
