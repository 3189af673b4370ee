#include "state/LocationAuthorizationController.h"

#include "support/Logger.h"
#include "wifi/NetworkManagerTypes.h"
#include "wifi/NetworkManagerValues.h"

#include <QCoroDBusPendingCall>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusMetaType>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QPointer>
#include <algorithm>

namespace {

const Logger logger{QStringLiteral("LocationPermission")};

QMap<QString, QString> permissionsFrom(const QDBusMessage& reply)
{
    QMap<QString, QString> permissions;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return permissions;
    const QVariant value = reply.arguments().constFirst();
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const QDBusArgument argument = value.value<QDBusArgument>();
        argument >> permissions;
    } else {
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            permissions.insert(it.key(), it.value().toString());
    }
    return permissions;
}

} // namespace

LocationAuthorizationController::LocationAuthorizationController(QDBusConnection bus, Callback onAuthorizationChange,
                                                                 QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_onAuthorizationChange(std::move(onAuthorizationChange))
{
    m_retry.setSingleShot(true);
    QObject::connect(&m_retry, &QTimer::timeout, this, &LocationAuthorizationController::onPermissionsChanged);
}

LocationAuthorizationStatus LocationAuthorizationController::statusFromPermissions(const QMap<QString, QString>& permissions)
{
    const QStringList needed{QStringLiteral("org.freedesktop.NetworkManager.wifi.scan"),
                             QStringLiteral("org.freedesktop.NetworkManager.network-control")};
    bool allYes = true;
    bool anyAuth = false;
    for (const QString& name : needed) {
        const QString answer = permissions.value(name);
        if (answer == QLatin1String("no"))
            return LocationAuthorizationStatus::denied;
        anyAuth = anyAuth || answer == QLatin1String("auth");
        allYes = allYes && answer == QLatin1String("yes");
    }
    if (anyAuth)
        return LocationAuthorizationStatus::notDetermined;
    return allYes ? LocationAuthorizationStatus::allowed : LocationAuthorizationStatus::unknown;
}

void LocationAuthorizationController::start()
{
    if (m_started)
        return;
    m_started = true;
    m_bus.connect(NetworkManagerDBus::service(), NetworkManagerDBus::managerPath(), NetworkManagerDBus::managerInterface(),
                  QStringLiteral("CheckPermissions"), this, SLOT(onPermissionsChanged()));
    auto* watcher = new QDBusServiceWatcher(NetworkManagerDBus::service(), m_bus, QDBusServiceWatcher::WatchForRegistration, this);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceRegistered, this,
                     &LocationAuthorizationController::onNetworkManagerAppeared);
    report();
}

void LocationAuthorizationController::onPermissionsChanged() { report(); }

void LocationAuthorizationController::onNetworkManagerAppeared()
{
    m_retryDelay = m_initialRetryDelay;
    report();
}

void LocationAuthorizationController::readAgainLater()
{
    if (m_retry.isActive())
        return;
    m_retry.start(m_retryDelay);
    m_retryDelay = std::min(m_retryDelay * 2, maximumRetryDelay);
}

QCoro::Task<LocationAuthorizationStatus> LocationAuthorizationController::refresh()
{
    QPointer<LocationAuthorizationController> self(this);
    const QDBusMessage call = QDBusMessage::createMethodCall(NetworkManagerDBus::service(), NetworkManagerDBus::managerPath(),
                                                             NetworkManagerDBus::managerInterface(),
                                                             QStringLiteral("GetPermissions"));
    // A call on a connection that never came up is never answered, not even with an error: it would
    // hold this reading (and every later one) for good. Such a reading fails now and is tried again.
    QDBusMessage reply =
        call.createErrorReply(QDBusError::Disconnected, QStringLiteral("not connected to the system bus"));
    if (m_bus.isConnected()) {
        const QDBusPendingCall pending = m_bus.asyncCall(call, 5000);
        reply = co_await qCoro(pending).waitForFinished();
    }
    const LocationAuthorizationStatus status = statusFromPermissions(permissionsFrom(reply));
    if (self) {
        self->m_status = status;
        if (reply.type() == QDBusMessage::ReplyMessage) {
            self->m_retryDelay = self->m_initialRetryDelay;
        } else {
            logger.debug("Location permission reading failed: %{public}s", reply.errorMessage());
            self->readAgainLater();
        }
    }
    co_return status;
}

QCoro::Task<> LocationAuthorizationController::report()
{
    QPointer<LocationAuthorizationController> self(this);
    const LocationAuthorizationStatus status = co_await refresh();
    if (self && self->m_onAuthorizationChange)
        self->m_onAuthorizationChange(status);
}

void LocationAuthorizationController::requestWhenNeeded() { request(); }

QCoro::Task<> LocationAuthorizationController::request()
{
    QPointer<LocationAuthorizationController> self(this);
    const LocationAuthorizationStatus status = co_await refresh();
    if (!self)
        co_return;
    if (status != LocationAuthorizationStatus::notDetermined) {
        if (self->m_onAuthorizationChange)
            self->m_onAuthorizationChange(status);
        co_return;
    }
    const QString device = co_await wifiDevicePath();
    if (!self)
        co_return;
    if (!device.isEmpty()) {
        QDBusMessage call = QDBusMessage::createMethodCall(NetworkManagerDBus::service(), device,
                                                           NetworkManagerDBus::wirelessInterface(), QStringLiteral("RequestScan"));
        call << QVariantMap();
        call.setInteractiveAuthorizationAllowed(true);
        // The prompt waits for the user, so no short time-out here.
        const QDBusMessage reply = co_await qCoro(m_bus.asyncCall(call, 120000)).waitForFinished();
        if (reply.type() == QDBusMessage::ErrorMessage)
            logger.log("Location manager failed: domain=%{public}s, code=%{public}ld, message=%{public}s", reply.errorName(),
                       long(QDBusError(reply).type()), reply.errorMessage());
    }
    if (!self)
        co_return;
    co_await self->report();
}

QCoro::Task<QString> LocationAuthorizationController::wifiDevicePath()
{
    const QDBusMessage call = QDBusMessage::createMethodCall(NetworkManagerDBus::service(), NetworkManagerDBus::managerPath(),
                                                             NetworkManagerDBus::managerInterface(), QStringLiteral("GetDevices"));
    const QDBusConnection bus = m_bus;
    const QDBusMessage reply = co_await qCoro(bus.asyncCall(call, 5000)).waitForFinished();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        co_return QString();
    for (const QString& path : NetworkManagerValues::objectPaths(reply.arguments().constFirst())) {
        QDBusMessage get = QDBusMessage::createMethodCall(NetworkManagerDBus::service(), path,
                                                          QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << NetworkManagerDBus::deviceInterface() << QStringLiteral("DeviceType");
        const QDBusMessage type = co_await qCoro(bus.asyncCall(get, 5000)).waitForFinished();
        if (type.type() == QDBusMessage::ReplyMessage && !type.arguments().isEmpty()
            && type.arguments().constFirst().value<QDBusVariant>().variant().toUInt() == NetworkManagerDBus::deviceTypeWiFi)
            co_return path;
    }
    co_return QString();
}
