#include "wifi/NetworkManagerCache.h"

#include "wifi/NetworkManagerProperties.h"
#include "wifi/NetworkManagerReplies.h"

#include <QCoroDBusPendingCall>
#include <QDBusPendingCall>
#include <QPointer>

// The whole read: when the cache starts, when NetworkManager comes back, when devices come or go,
// and again later when part of it failed.

using namespace NetworkManagerDBus;
using namespace NetworkManagerReplies;
using namespace Qt::StringLiterals;

namespace {

constexpr int callTimeoutMs = 5000;
constexpr std::chrono::milliseconds maximumRetryDelay{60000};

QString getAll() { return QStringLiteral("GetAll"); }
QString noArgument() { return QString(); }
QString getDevicesMethod() { return QStringLiteral("GetDevices"); }
QString getAllAccessPointsMethod() { return QStringLiteral("GetAllAccessPoints"); }

} // namespace

QCoro::Task<QDBusMessage> NetworkManagerCache::call(QString path, QString interface, QString method, QString argument)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service(), path, interface, method);
    if (!argument.isEmpty())
        message << argument;
    const QDBusPendingCall pending = m_bus.asyncCall(message, callTimeoutMs);
    // `this` is not touched after the suspension: the caller checks that it still exists.
    const QDBusMessage reply = co_await qCoro(pending).waitForFinished();
    co_return reply;
}

QCoro::Task<> NetworkManagerCache::readWhole(quint64 generation)
{
    const QPointer<NetworkManagerCache> self(this);
    const auto current = [self, generation] { return self && self->m_generation == generation; };
    NetworkManagerState next;
    next.availability = NetworkManagerState::Availability::present;

    const QDBusMessage manager = co_await call(managerPath(), propertiesInterface(), getAll(), managerInterface());
    if (!current())
        co_return;
    if (isAnswer(manager)) {
        NetworkManagerProperties::applyManager(next, propertyMap(manager.arguments().constFirst()));
    } else if (!meansAbsent(manager)) {
        next.powerFailure = failureText(manager);
    }

    const QDBusMessage listing = co_await call(managerPath(), managerInterface(), getDevicesMethod(), noArgument());
    if (!current())
        co_return;
    const std::optional<QStringList> devicePaths =
        isAnswer(listing) ? NetworkManagerProperties::objectPathList(listing.arguments().constFirst(), 256) : std::nullopt;
    if (!devicePaths) {
        next = NetworkManagerState{};
        next.availability = meansAbsent(listing) ? NetworkManagerState::Availability::absent
                                                 : NetworkManagerState::Availability::unreadable;
        next.failure = isAnswer(listing) ? u"NetworkManager gave an unreadable device list."_s : failureText(listing);
        const bool unreadable = next.availability == NetworkManagerState::Availability::unreadable;
        finishRead(generation, std::move(next), unreadable);
        co_return;
    }

    bool retry = !next.powerFailure.isEmpty();
    for (const QString& devicePath : *devicePaths) {
        if (next.wifiDevicePaths.size() >= NetworkManagerState::maximumDevices)
            break;
        const QDBusMessage general = co_await call(devicePath, propertiesInterface(), getAll(), deviceInterface());
        if (!current())
            co_return;
        // A device that vanished between the listing and the read is simply not there any more.
        if (!isAnswer(general))
            continue;
        const QVariantMap generalProperties = propertyMap(general.arguments().constFirst());
        if (NetworkManagerProperties::uint32(generalProperties.value(u"DeviceType"_s)) != deviceTypeWiFi)
            continue;
        NetworkManagerDevice device;
        device.path = devicePath;
        device.managed = true;
        NetworkManagerProperties::applyDevice(device, generalProperties);
        const QDBusMessage wireless = co_await call(devicePath, propertiesInterface(), getAll(), wirelessInterface());
        if (!current())
            co_return;
        const QVariantMap wirelessProperties = isAnswer(wireless) ? propertyMap(wireless.arguments().constFirst()) : QVariantMap();
        NetworkManagerProperties::applyWireless(device, wirelessProperties);

        QDBusMessage points = co_await call(devicePath, wirelessInterface(), getAllAccessPointsMethod(), noArgument());
        if (!current())
            co_return;
        std::optional<QStringList> pointPaths;
        if (isAnswer(points))
            pointPaths = NetworkManagerProperties::objectPathList(points.arguments().constFirst(), NetworkManagerState::maximumAccessPoints);
        else if (points.errorName() == "org.freedesktop.DBus.Error.UnknownMethod"_L1 && isAnswer(wireless))
            // Versions without the method list the points as a property.
            pointPaths = NetworkManagerProperties::objectPathList(wirelessProperties.value(u"AccessPoints"_s),
                                                                  NetworkManagerState::maximumAccessPoints);
        if (!pointPaths) {
            next.listingFailures.insert(devicePath, isAnswer(points) ? u"NetworkManager gave an unreadable access point list."_s
                                                                     : failureText(points));
            retry = true;
            pointPaths = QStringList();
        }
        // All points of the device are asked for at once; the answers are taken in order.
        QList<std::pair<QString, QDBusPendingCall>> asked;
        for (const QString& pointPath : *pointPaths) {
            if (next.accessPoints.size() + asked.size() >= NetworkManagerState::maximumAccessPoints)
                break;
            QDBusMessage get = QDBusMessage::createMethodCall(service(), pointPath, propertiesInterface(), u"GetAll"_s);
            get << accessPointInterface();
            asked.append({pointPath, m_bus.asyncCall(get, callTimeoutMs)});
        }
        QStringList listed;
        for (const auto& entry : asked) {
            const QString pointPath = entry.first;
            const QDBusPendingCall answer = entry.second;
            const QDBusMessage reply = co_await qCoro(answer).waitForFinished();
            if (!current())
                co_return;
            if (!isAnswer(reply))
                continue;
            NetworkManagerAccessPoint point;
            point.path = pointPath;
            NetworkManagerProperties::applyAccessPoint(point, propertyMap(reply.arguments().constFirst()));
            next.accessPoints.insert(pointPath, point);
            listed.append(pointPath);
        }

        if (!device.activeConnectionPath.isEmpty()) {
            const QDBusMessage active =
                co_await call(device.activeConnectionPath, propertiesInterface(), getAll(), activeConnectionInterface());
            if (!current())
                co_return;
            if (isAnswer(active)) {
                NetworkManagerActiveConnection connection;
                connection.path = device.activeConnectionPath;
                NetworkManagerProperties::applyActiveConnection(connection, propertyMap(active.arguments().constFirst()));
                next.activeConnections.insert(connection.path, connection);
            }
        }
        next.accessPointPaths.insert(devicePath, listed);
        next.wifiDevicePaths.append(devicePath);
        next.devices.insert(devicePath, device);
    }
    finishRead(generation, std::move(next), retry);
}

void NetworkManagerCache::finishRead(quint64 generation, NetworkManagerState next, bool retry)
{
    if (generation != m_generation)
        return;
    m_state = std::move(next);
    m_reading = false;
    m_logger.debug("NetworkManager read whole: devices=%{public}ld, accessPoints=%{public}ld, held signals=%{public}ld",
                   qint64(m_state.wifiDevicePaths.size()), qint64(m_state.accessPoints.size()), qint64(m_heldSignals.size()));
    const QList<QDBusMessage> held = std::exchange(m_heldSignals, {});
    if (std::exchange(m_heldOverflow, false)) {
        // Too much happened during the read to replay it: read again.
        readAgain();
        return;
    }
    for (const QDBusMessage& message : held) {
        apply(message);
        if (generation != m_generation)
            return; // a held signal started another whole read
    }
    if (retry) {
        // Part of NetworkManager did not answer: read again later, less often each time.
        m_retry.start(m_retryDelay);
        m_retryDelay = std::min(m_retryDelay * 2, maximumRetryDelay);
    } else {
        m_retryDelay = std::chrono::milliseconds(1000);
    }
    Q_EMIT changed();
    Q_EMIT readFinished();
}
