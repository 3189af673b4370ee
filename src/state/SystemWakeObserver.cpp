#include "state/SystemWakeObserver.h"

SystemWakeObserver::SystemWakeObserver(QDBusConnection bus, QObject* parent) : QObject(parent), m_bus(std::move(bus)) {}

bool SystemWakeObserver::start()
{
    if (m_started)
        return true;
    m_started = m_bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                              QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                              SLOT(onPrepareForSleep(bool)));
    return m_started;
}

void SystemWakeObserver::onPrepareForSleep(bool goingToSleep)
{
    if (!goingToSleep)
        Q_EMIT didWake();
}
