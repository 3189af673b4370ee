#include "connectivity/NetworkManagerPathMonitor.h"

#include "wifi/NetworkManagerCache.h"

#include <QDBusMessage>
#include <QDBusPendingReply>

using namespace Qt::StringLiterals;

namespace {

// NMState
constexpr quint32 StateConnecting = 40;
constexpr quint32 StateConnectedLocal = 50;
constexpr quint32 StateConnectedSite = 60;
constexpr quint32 StateConnectedGlobal = 70;
// NMMetered
constexpr quint32 MeteredYes = 1;
constexpr quint32 MeteredGuessYes = 3;

} // namespace

NetworkManagerPathMonitor::NetworkManagerPathMonitor(QDBusConnection bus, QObject* parent)
    : NetworkPathMonitor(parent), m_bus(std::move(bus))
{
}

NetworkManagerPathMonitor::NetworkManagerPathMonitor(std::shared_ptr<NetworkManagerCache> cache, QObject* parent)
    : NetworkPathMonitor(parent), m_bus(cache->bus()), m_cache(std::move(cache))
{
}

NetworkPathStatus NetworkManagerPathMonitor::statusFromCache(const NetworkManagerCache& cache)
{
    const NetworkManagerState& state = cache.state();
    if (state.availability == NetworkManagerState::Availability::absent || !state.managerState)
        return NetworkPathStatus::unsatisfied();
    return statusFor(*state.managerState, state.metered);
}

NetworkPathStatus NetworkManagerPathMonitor::statusFor(quint32 state, quint32 metered)
{
    switch (state) {
    // Local only means no default route: nothing beyond the link can be reached, not even a portal's
    // gateway page (a captive network hands out a default route like any other). Site means a route
    // whose internet check failed, which is what a portal looks like, so the probe must run there.
    case StateConnectedLocal:
        return NetworkPathStatus::unsatisfied();
    case StateConnectedSite:
    case StateConnectedGlobal:
        return NetworkPathStatus::satisfied(metered == MeteredYes || metered == MeteredGuessYes, false);
    case StateConnecting:
        return NetworkPathStatus::requiresConnection();
    default:
        return NetworkPathStatus::unsatisfied();
    }
}

NetworkPathStatus NetworkManagerPathMonitor::statusFromProperties(const QVariantMap& properties)
{
    const QVariant state = properties.value(u"State"_s);
    const QVariant metered = properties.value(u"Metered"_s);
    bool stateOk = false;
    const quint32 stateValue = state.toUInt(&stateOk);
    if (!stateOk)
        return NetworkPathStatus::unsatisfied();
    bool meteredOk = false;
    const quint32 meteredValue = metered.toUInt(&meteredOk);
    return statusFor(stateValue, meteredOk ? meteredValue : 0);
}

void NetworkManagerPathMonitor::start()
{
    if (m_cache) {
        // A whole read in flight (start-up, NetworkManager back) is waited for; the service's time-out bounds it.
        if (const std::optional<NetworkPathStatus> known = knownStatus())
            Q_EMIT pathUpdated(*known);
        else
            m_waitingForCache = connect(m_cache.get(), &NetworkManagerCache::readFinished, this,
                                        &NetworkManagerPathMonitor::answerFromCache);
        return;
    }
    if (m_pending || !m_bus.isConnected())
        return;
    QDBusMessage message = QDBusMessage::createMethodCall(
        u"org.freedesktop.NetworkManager"_s, u"/org/freedesktop/NetworkManager"_s,
        u"org.freedesktop.DBus.Properties"_s, u"GetAll"_s);
    message << u"org.freedesktop.NetworkManager"_s;
    m_pending = std::make_unique<QDBusPendingCallWatcher>(m_bus.asyncCall(message));
    connect(m_pending.get(), &QDBusPendingCallWatcher::finished, this, &NetworkManagerPathMonitor::onReply);
}

std::optional<NetworkPathStatus> NetworkManagerPathMonitor::knownStatus() const
{
    return m_cache ? knownStatus(*m_cache) : std::nullopt;
}

std::optional<NetworkPathStatus> NetworkManagerPathMonitor::knownStatus(const NetworkManagerCache& cache)
{
    if (cache.state().availability == NetworkManagerState::Availability::loading || cache.isReading())
        return std::nullopt;
    return statusFromCache(cache);
}

void NetworkManagerPathMonitor::answerFromCache()
{
    disconnect(m_waitingForCache);
    Q_EMIT pathUpdated(statusFromCache(*m_cache));
}

void NetworkManagerPathMonitor::cancel()
{
    disconnect(m_waitingForCache);
    if (m_pending) {
        m_pending->disconnect(this);
        m_pending.release()->deleteLater();
    }
}

void NetworkManagerPathMonitor::onReply(QDBusPendingCallWatcher* watcher)
{
    const QDBusPendingReply<QVariantMap> reply = *watcher;
    if (!reply.isValid())
        return;
    Q_EMIT pathUpdated(statusFromProperties(reply.value()));
}
