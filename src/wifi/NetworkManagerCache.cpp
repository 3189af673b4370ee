#include "wifi/NetworkManagerCache.h"

#include "support/SystemBus.h"
#include "wifi/NetworkManagerProperties.h"
#include "wifi/NetworkManagerReplies.h"
#include "wifi/NetworkManagerValues.h"

#include <QCoroDBusPendingCall>
#include <QCoroSignal>
#include <QDBusPendingCall>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QPointer>
#include <QSet>

using namespace NetworkManagerDBus;
using namespace NetworkManagerReplies;
using namespace Qt::StringLiterals;

namespace {

constexpr int callTimeoutMs = 5000;
// Signals held during a whole read beyond this many are dropped, and the read is done again.
constexpr qsizetype maximumHeldSignals = 1024;

QString getAll() { return QStringLiteral("GetAll"); }

} // namespace

NetworkManagerCache::NetworkManagerCache(QDBusConnection bus, QObject* parent) : QObject(parent), m_bus(std::move(bus))
{
    NetworkManagerValues::registerTypes();
    m_retry.setSingleShot(true);
    QObject::connect(&m_retry, &QTimer::timeout, this, &NetworkManagerCache::readAgain);
    if (!m_bus.isConnected()) {
        m_state.availability = NetworkManagerState::Availability::absent;
        return;
    }
    // Subscribed before the first read, so whatever changes while it runs is heard and applied after.
    subscribe();
    readAgain();
}

NetworkManagerCache::~NetworkManagerCache() = default;

std::shared_ptr<NetworkManagerCache> NetworkManagerCache::system()
{
    // Made again when the bus override points elsewhere, as SystemBus::connection() follows it.
    static std::shared_ptr<NetworkManagerCache> shared;
    static QString address;
    if (!shared || address != SystemBus::overrideAddress()) {
        address = SystemBus::overrideAddress();
        shared = std::make_shared<NetworkManagerCache>(SystemBus::connection());
    }
    return shared;
}

void NetworkManagerCache::subscribe()
{
    const QString name = service();
    const char* slot = SLOT(onSignal(QDBusMessage));
    // An empty path listens to every object of NetworkManager; the handler keeps only those it tracks.
    m_bus.connect(name, QString(), propertiesInterface(), u"PropertiesChanged"_s, this, slot);
    m_bus.connect(name, QString(), wirelessInterface(), u"AccessPointAdded"_s, this, slot);
    m_bus.connect(name, QString(), wirelessInterface(), u"AccessPointRemoved"_s, this, slot);
    m_bus.connect(name, QString(), deviceInterface(), u"StateChanged"_s, this, slot);
    m_bus.connect(name, QString(), activeConnectionInterface(), u"StateChanged"_s, this, slot);
    m_bus.connect(name, managerPath(), managerInterface(), u"DeviceAdded"_s, this, slot);
    m_bus.connect(name, managerPath(), managerInterface(), u"DeviceRemoved"_s, this, slot);
    m_bus.connect(name, managerPath(), managerInterface(), u"StateChanged"_s, this, slot);
    m_watcher = new QDBusServiceWatcher(name, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    QObject::connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &NetworkManagerCache::onOwnerChanged);
}

void NetworkManagerCache::onOwnerChanged(const QString&, const QString&, const QString& newOwner)
{
    if (newOwner.isEmpty()) {
        m_logger.log("NetworkManager went away");
        markAbsent();
        return;
    }
    m_logger.log("NetworkManager appeared: reading it whole");
    m_retryDelay = std::chrono::milliseconds(1000);
    readAgain();
}

void NetworkManagerCache::markAbsent()
{
    ++m_generation; // whatever read is in flight belongs to the owner that left
    m_reading = false;
    m_pendingReads = 0;
    m_heldSignals.clear();
    m_retry.stop();
    m_state = NetworkManagerState{};
    m_state.availability = NetworkManagerState::Availability::absent;
    Q_EMIT changed();
    Q_EMIT readFinished();
}

void NetworkManagerCache::readAgain()
{
    m_retry.stop();
    const quint64 generation = ++m_generation;
    m_reading = true;
    m_pendingReads = 0;
    m_heldSignals.clear();
    m_heldOverflow = false;
    readWhole(generation);
}

void NetworkManagerCache::onSignal(const QDBusMessage& message)
{
    if (m_state.availability == NetworkManagerState::Availability::absent && !m_reading)
        return;
    if (m_reading) {
        if (m_heldSignals.size() < maximumHeldSignals)
            m_heldSignals.append(message);
        else
            m_heldOverflow = true;
        return;
    }
    if (apply(message))
        Q_EMIT changed();
}

bool NetworkManagerCache::apply(const QDBusMessage& message)
{
    const QString member = message.member();
    const QString interface = message.interface();
    const QString path = message.path();
    if (member == "PropertiesChanged"_L1)
        return applyPropertiesChanged(message);
    if (interface == managerInterface() && (member == "DeviceAdded"_L1 || member == "DeviceRemoved"_L1)) {
        // Devices come and go rarely; their type decides whether they matter, so read again whole.
        readAgain();
        return false;
    }
    // A state signal with anything but numbers in it is dropped: the properties signal says the same.
    if (interface == managerInterface() && member == "StateChanged"_L1) {
        const std::optional<quint32> state = uintArgument(message, 0);
        if (!state)
            return false;
        m_state.managerState = state;
        return true;
    }
    if (interface == deviceInterface() && member == "StateChanged"_L1) {
        auto device = m_state.devices.find(path);
        const std::optional<quint32> state = uintArgument(message, 0);
        const std::optional<quint32> reason = uintArgument(message, 2);
        if (device == m_state.devices.end() || !state || !reason)
            return false;
        device->state = *state;
        device->stateReason = *reason;
        return true;
    }
    if (interface == activeConnectionInterface() && member == "StateChanged"_L1) {
        auto active = m_state.activeConnections.find(path);
        const std::optional<quint32> state = uintArgument(message, 0);
        if (active == m_state.activeConnections.end() || !state)
            return false;
        active->state = *state;
        return true;
    }
    if (interface == wirelessInterface() && m_state.devices.contains(path)) {
        const QString point = pathArgument(message);
        if (point.isEmpty())
            return false;
        QStringList& listed = m_state.accessPointPaths[path];
        if (member == "AccessPointRemoved"_L1) {
            const bool removed = listed.removeAll(point) > 0;
            m_state.accessPoints.remove(point);
            return removed;
        }
        if (member == "AccessPointAdded"_L1 && !listed.contains(point)
            && m_state.accessPoints.size() < NetworkManagerState::maximumAccessPoints) {
            listed.append(point);
            readAccessPoint(m_generation, path, point);
            return false; // it shows once its properties are read
        }
    }
    return false;
}

bool NetworkManagerCache::applyPropertiesChanged(const QDBusMessage& message)
{
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2 || arguments.at(0).metaType() != QMetaType::fromType<QString>())
        return false;
    const QString interface = arguments.at(0).toString();
    const QVariantMap changed = propertyMap(arguments.at(1));
    if (changed.isEmpty())
        return false;
    const QString path = message.path();
    if (interface == managerInterface() && path == managerPath()) {
        NetworkManagerProperties::applyManager(m_state, changed);
        return true;
    }
    if (interface == accessPointInterface()) {
        auto point = m_state.accessPoints.find(path);
        if (point == m_state.accessPoints.end())
            return false;
        NetworkManagerProperties::applyAccessPoint(*point, changed);
        return true;
    }
    if (interface == activeConnectionInterface()) {
        auto active = m_state.activeConnections.find(path);
        if (active == m_state.activeConnections.end())
            return false;
        NetworkManagerProperties::applyActiveConnection(*active, changed);
        return true;
    }
    auto device = m_state.devices.find(path);
    if (device == m_state.devices.end())
        return false;
    if (interface == deviceInterface()) {
        const QString before = device->activeConnectionPath;
        NetworkManagerProperties::applyDevice(*device, changed);
        if (device->activeConnectionPath != before)
            followActiveConnection(path);
        return true;
    }
    if (interface == wirelessInterface()) {
        NetworkManagerProperties::applyWireless(*device, changed);
        return true;
    }
    return false;
}

void NetworkManagerCache::followActiveConnection(const QString& devicePath)
{
    // Only the active connections of the Wi-Fi devices are kept.
    QSet<QString> inUse;
    for (const NetworkManagerDevice& device : std::as_const(m_state.devices))
        if (!device.activeConnectionPath.isEmpty())
            inUse.insert(device.activeConnectionPath);
    for (auto it = m_state.activeConnections.begin(); it != m_state.activeConnections.end();)
        it = inUse.contains(it.key()) ? std::next(it) : m_state.activeConnections.erase(it);
    const QString path = m_state.devices.value(devicePath).activeConnectionPath;
    if (!path.isEmpty() && !m_state.activeConnections.contains(path))
        readActiveConnection(m_generation, path);
}

QCoro::Task<> NetworkManagerCache::readAccessPoint(quint64 generation, QString devicePath, QString path)
{
    const QPointer<NetworkManagerCache> self(this);
    ++m_pendingReads;
    const QDBusMessage reply = co_await call(path, propertiesInterface(), getAll(), accessPointInterface());
    if (!self || self->m_generation != generation)
        co_return;
    // Removed while it was read, or it vanished before it could be: not there.
    if (isAnswer(reply) && m_state.accessPointPaths.value(devicePath).contains(path)) {
        NetworkManagerAccessPoint point;
        point.path = path;
        NetworkManagerProperties::applyAccessPoint(point, propertyMap(reply.arguments().constFirst()));
        m_state.accessPoints.insert(path, point);
    } else {
        m_state.accessPointPaths[devicePath].removeAll(path);
    }
    finishPendingRead();
}

QCoro::Task<> NetworkManagerCache::readActiveConnection(quint64 generation, QString path)
{
    const QPointer<NetworkManagerCache> self(this);
    ++m_pendingReads;
    const QDBusMessage reply = co_await call(path, propertiesInterface(), getAll(), activeConnectionInterface());
    if (!self || self->m_generation != generation)
        co_return;
    bool inUse = false;
    for (const NetworkManagerDevice& device : std::as_const(m_state.devices))
        inUse = inUse || device.activeConnectionPath == path;
    if (isAnswer(reply) && inUse) {
        NetworkManagerActiveConnection connection;
        connection.path = path;
        NetworkManagerProperties::applyActiveConnection(connection, propertyMap(reply.arguments().constFirst()));
        m_state.activeConnections.insert(path, connection);
    }
    finishPendingRead();
}

void NetworkManagerCache::finishPendingRead()
{
    m_pendingReads = std::max(0, m_pendingReads - 1);
    Q_EMIT changed();
}

QCoro::Task<> NetworkManagerCache::ready()
{
    const QPointer<NetworkManagerCache> self(this);
    const QDeadlineTimer deadline(readyBound);
    while (self && self->m_reading && !deadline.hasExpired()) {
        const auto left = std::chrono::milliseconds(std::max<qint64>(1, deadline.remainingTime()));
        co_await qCoro(self.data(), &NetworkManagerCache::readFinished, left);
    }
}

QCoro::Task<> NetworkManagerCache::settled()
{
    const QPointer<NetworkManagerCache> self(this);
    const QDeadlineTimer deadline(readyBound);
    // NetworkManager answers after everything it sent before: once the answer is in, so are they.
    QDBusMessage ping = QDBusMessage::createMethodCall(service(), managerPath(), u"org.freedesktop.DBus.Peer"_s, u"Ping"_s);
    const QDBusPendingCall pending = m_bus.asyncCall(ping, callTimeoutMs);
    co_await qCoro(pending).waitForFinished();
    while (self && self->isReading() && !deadline.hasExpired()) {
        const auto left = std::chrono::milliseconds(std::max<qint64>(1, deadline.remainingTime()));
        co_await qCoro(self.data(), &NetworkManagerCache::changed, left);
    }
}

QCoro::Task<bool> NetworkManagerCache::scanFinished(QString devicePath, std::optional<qint64> before,
                                                    std::chrono::milliseconds bound)
{
    const QPointer<NetworkManagerCache> self(this);
    const QDeadlineTimer deadline(bound);
    while (self) {
        const auto device = self->m_state.devices.constFind(devicePath);
        if (device == self->m_state.devices.cend())
            co_return false;
        if (device->lastScan != before && !self->isReading())
            co_return true;
        if (deadline.hasExpired())
            co_return false;
        const auto left = std::chrono::milliseconds(std::max<qint64>(1, deadline.remainingTime()));
        co_await qCoro(self.data(), &NetworkManagerCache::changed, left);
    }
    co_return false;
}
