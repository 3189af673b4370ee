#pragma once

#include <QDBusConnection>
#include <QString>

// The bus on which system services (NetworkManager, logind) are reached. BREWBEACON_SYSTEM_BUS_ADDRESS
// points the whole program at another bus (a simulated NetworkManager in tests and the demo); Qt itself
// already honours DBUS_SYSTEM_BUS_ADDRESS for the real system bus.
class SystemBus {
public:
    static QDBusConnection connection();
    // The override address, empty when none is set.
    static QString overrideAddress();
    // A connection to the bus at address, shared per address and usable from any thread.
    static QDBusConnection connectTo(const QString& address);
};
