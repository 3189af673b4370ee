#pragma once

#include "connectivity/NetworkPathMonitor.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>
#include <QPointer>
#include <memory>

class NetworkManagerCache;

// Reads the path from NetworkManager's global State and Metered properties: from the signal-fed
// cache when given one (no bus traffic; a cache that knows NetworkManager is absent answers
// "unsatisfied" at once), else with one asynchronous GetAll, where a bus without NetworkManager, or an
// error reply, gives no reading at all, so the caller's time-out decides.
class NetworkManagerPathMonitor : public NetworkPathMonitor {
    Q_OBJECT
public:
    explicit NetworkManagerPathMonitor(QDBusConnection bus, QObject* parent = nullptr);
    explicit NetworkManagerPathMonitor(std::shared_ptr<NetworkManagerCache> cache, QObject* parent = nullptr);

    void start() override;
    void cancel() override;
    std::optional<NetworkPathStatus> knownStatus() const override;

    // NetworkManager's NMState and NMMetered values as a path status: the three connected states are
    // usable, "connecting" may become usable, everything else is not. Metered (known or guessed) is
    // the expensive flag; NetworkManager has no signal for a constrained path.
    static NetworkPathStatus statusFor(quint32 state, quint32 metered);
    // The properties of one GetAll reply; a missing or mistyped State counts as an unknown state.
    static NetworkPathStatus statusFromProperties(const QVariantMap& properties);
    // The cache's reading; unsatisfied when NetworkManager is absent or its state unknown.
    static NetworkPathStatus statusFromCache(const NetworkManagerCache& cache);
    // The same once the cache holds a whole reading; none while it loads or reads again.
    static std::optional<NetworkPathStatus> knownStatus(const NetworkManagerCache& cache);

private:
    void onReply(QDBusPendingCallWatcher* watcher);
    void answerFromCache();

    QDBusConnection m_bus;
    std::shared_ptr<NetworkManagerCache> m_cache;
    QMetaObject::Connection m_waitingForCache;
    std::unique_ptr<QDBusPendingCallWatcher> m_pending;
};
