#include "support/SystemBus.h"

using namespace Qt::StringLiterals;

QString SystemBus::overrideAddress()
{
    return qEnvironmentVariable("BREWBEACON_SYSTEM_BUS_ADDRESS").trimmed();
}

QDBusConnection SystemBus::connection()
{
    const QString address = overrideAddress();
    if (address.isEmpty())
        return QDBusConnection::systemBus();
    return connectTo(address);
}

QDBusConnection SystemBus::connectTo(const QString& address)
{
    // Named by address, so pointing the variable elsewhere later yields a connection to the new bus.
    return QDBusConnection::connectToBus(address, u"brewbeacon-system-bus:"_s + address);
}
