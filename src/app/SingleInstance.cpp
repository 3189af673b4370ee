#include "app/SingleInstance.h"

#include "support/Logger.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

using namespace Qt::StringLiterals;

namespace {

const QString applicationInterface = u"org.freedesktop.Application"_s;
constexpr int activationTimeoutMs = 5000;

} // namespace

SingleInstance::SingleInstance(QDBusConnection bus, QString serviceName, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_serviceName(std::move(serviceName))
{
}

SingleInstance::~SingleInstance()
{
    if (m_role == Role::primary && m_bus.isConnected())
        m_bus.unregisterService(m_serviceName);
    if (m_objectRegistered)
        m_bus.unregisterObject(objectPath());
}

QString SingleInstance::objectPath() const
{
    return u"/"_s + QString(m_serviceName).replace(u'.', u'/');
}

SingleInstance::Role SingleInstance::claim()
{
    if (m_role == Role::primary)
        return m_role;
    if (!m_bus.isConnected() || !m_bus.interface()) {
        m_role = Role::unavailable;
        return m_role;
    }
    // The object first, so an activation that arrives as soon as the name is ours finds it.
    if (!m_objectRegistered)
        m_objectRegistered = m_bus.registerObject(objectPath(), this,
                                                  QDBusConnection::ExportScriptableSlots |
                                                      QDBusConnection::ExportScriptableInvokables);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(m_serviceName, QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        Logger(u"Lifecycle"_s).error("Session bus name not claimed: %{public}s", reply.error().message());
        m_role = Role::unavailable;
    } else {
        m_role =
            reply.value() == QDBusConnectionInterface::ServiceRegistered ? Role::primary : Role::secondary;
    }
    if (m_role != Role::primary && m_objectRegistered) {
        m_bus.unregisterObject(objectPath());
        m_objectRegistered = false;
    }
    return m_role;
}

bool SingleInstance::activateRunning(const QVariantMap& platformData) const
{
    if (!m_bus.isConnected())
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(m_serviceName, objectPath(), applicationInterface, u"Activate"_s);
    call << platformData;
    const QDBusMessage answer = m_bus.call(call, QDBus::BlockWithGui, activationTimeoutMs);
    if (answer.type() == QDBusMessage::ErrorMessage) {
        Logger(u"Lifecycle"_s)
            .error("The running BrewBeacon did not answer: %{public}s", answer.errorMessage());
        return false;
    }
    return true;
}

QVariantMap SingleInstance::startupPlatformData()
{
    QVariantMap data;
    if (const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN"); !token.isEmpty())
        data.insert(u"activation-token"_s, token);
    if (const QString id = qEnvironmentVariable("DESKTOP_STARTUP_ID"); !id.isEmpty())
        data.insert(u"desktop-startup-id"_s, id);
    return data;
}

void SingleInstance::Activate(const QVariantMap& platformData)
{
    // Qt's Wayland and X11 windows read these when they next ask for the focus.
    const QString token = platformData.value(u"activation-token"_s).toString();
    if (!token.isEmpty() && token.size() < 512)
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    const QString startupId = platformData.value(u"desktop-startup-id"_s).toString();
    if (!startupId.isEmpty() && startupId.size() < 512)
        qputenv("DESKTOP_STARTUP_ID", startupId.toUtf8());
    Logger(u"Lifecycle"_s).log("Activation requested by another start");
    Q_EMIT activationRequested();
}

void SingleInstance::Open(const QStringList&, const QVariantMap& platformData)
{
    // BrewBeacon opens no documents; opening it means bringing it forward.
    Activate(platformData);
}

void SingleInstance::ActivateAction(const QString&, const QVariantList&, const QVariantMap& platformData)
{
    Activate(platformData);
}
