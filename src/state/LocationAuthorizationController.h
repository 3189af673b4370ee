#pragma once

#include "state/LocationAuthorizationStatus.h"

#include <QCoroTask>
#include <QDBusConnection>
#include <QMap>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

// The location gate on Linux. Nothing hides Wi-Fi names here; what decides whether this program can see
// names and join networks is NetworkManager's polkit permissions ("wifi.scan" and "network-control"):
// both yes → allowed, any no → denied, any auth (the user would be asked) → notDetermined, and
// NetworkManager absent or silent → unknown. All D-Bus work is asynchronous on the main thread.
// Nothing is cached for good: besides NetworkManager's permission signal, a reading that got no answer
// is taken again a little later (and at once when NetworkManager appears on the bus), so a service that
// starts after us, or one slow answer at login, never leaves the gate shut.
class LocationAuthorizationController : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<void(LocationAuthorizationStatus)>;

    LocationAuthorizationController(QDBusConnection bus, Callback onAuthorizationChange, QObject* parent = nullptr);
    // First wait before reading again after an unanswered reading; it doubles up to maximumRetryDelay.
    static constexpr std::chrono::milliseconds initialRetryDelay{2000};
    static constexpr std::chrono::milliseconds maximumRetryDelay{30000};
    void setRetryDelay(std::chrono::milliseconds delay) { m_retryDelay = m_initialRetryDelay = delay; }

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
    void onNetworkManagerAppeared();

private:
    QCoro::Task<> report();
    QCoro::Task<> request();
    QCoro::Task<QString> wifiDevicePath();

    void readAgainLater();

    QDBusConnection m_bus;
    Callback m_onAuthorizationChange;
    QTimer m_retry;
    std::chrono::milliseconds m_initialRetryDelay = initialRetryDelay;
    std::chrono::milliseconds m_retryDelay = initialRetryDelay;
    LocationAuthorizationStatus m_status = LocationAuthorizationStatus::unknown;
    bool m_started = false;
};
