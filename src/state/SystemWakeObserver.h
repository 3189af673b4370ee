#pragma once

#include <QDBusConnection>
#include <QObject>

// Tells when the machine has resumed from sleep: systemd-logind's PrepareForSleep(false).
class SystemWakeObserver : public QObject {
    Q_OBJECT
public:
    explicit SystemWakeObserver(QDBusConnection bus, QObject* parent = nullptr);

    // Subscribes; false when the bus refused the subscription. Calling it again does nothing.
    bool start();

Q_SIGNALS:
    void didWake();

private Q_SLOTS:
    void onPrepareForSleep(bool goingToSleep);

private:
    QDBusConnection m_bus;
    bool m_started = false;
};
