#pragma once

#include "state/LocationAuthorizationStatus.h"

#include <QCoroTask>
#include <QDBusConnection>
#include <QMap>
#include <QObject>
#include <functional>

// The location gate on Linux. Nothing hides Wi-Fi names here; what decides whether this program can see
// names and join networks is NetworkManager's polkit permissions ("wifi.scan" and "network-control"):
// both yes → allowed, any no → denied, any auth (the user would be asked) → notDetermined, and
// NetworkManager absent or silent → unknown. All D-Bus work is asynchronous on the main thread.
class LocationAuthorizationController : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<void(LocationAuthorizationStatus)>;

    LocationAuthorizationController(QDBusConnection bus, Callback onAuthorizationChange, QObject* parent = nullptr);

    // The latest reading (unknown until the first one arrives); never blocks.
    LocationAuthorizationStatus currentStatus() const { return m_status; }
    // Subscribes to NetworkManager's permission changes and takes a first reading, reported through the callback.
    void start();
    // Reads the permissions afresh and remembers the result.
    QCoro::Task<LocationAuthorizationStatus> refresh();
    // notDetermined: asks for the permission the way polkit does, with an interactive scan request that
    // lets the desktop's authentication agent prompt, then reports the new reading. Other statuses are
    // reported as they are (no prompt would be shown), unknown as unknown.
    void requestWhenNeeded();

    static LocationAuthorizationStatus statusFromPermissions(const QMap<QString, QString>& permissions);

private Q_SLOTS:
    void onPermissionsChanged();

private:
    QCoro::Task<> report();
    QCoro::Task<> request();
    QCoro::Task<QString> wifiDevicePath();

    QDBusConnection m_bus;
    Callback m_onAuthorizationChange;
    LocationAuthorizationStatus m_status = LocationAuthorizationStatus::unknown;
    bool m_started = false;
};
