#include "SimulatedNetworkManager.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <gtest/gtest.h>

namespace {
const QString mockInterface = QStringLiteral("org.freedesktop.DBus.Mock");
}

SimulatedNetworkManager::AccessPoint SimulatedNetworkManager::AccessPoint::open(QByteArray ssid, quint8 strength)
{
    AccessPoint point;
    point.ssid = std::move(ssid);
    point.strength = strength;
    return point;
}

SimulatedNetworkManager::AccessPoint SimulatedNetworkManager::AccessPoint::wpa2Personal(QByteArray ssid, quint8 strength)
{
    AccessPoint point = open(std::move(ssid), strength);
    point.privacy = true;
    point.rsnFlags = pairCCMP | groupCCMP | keyPSK;
    return point;
}

SimulatedNetworkManager::AccessPoint SimulatedNetworkManager::AccessPoint::wpa2Enterprise(QByteArray ssid, quint8 strength)
{
    AccessPoint point = open(std::move(ssid), strength);
    point.privacy = true;
    point.rsnFlags = pairCCMP | groupCCMP | key8021X;
    return point;
}

SimulatedNetworkManager::SimulatedNetworkManager(const QString& parametersJson)
{
    m_running = m_bus.start()
        && m_bus.startMock(PrivateSystemBus::networkManagerTemplate(), QStringLiteral("org.freedesktop.NetworkManager"),
                           parametersJson);
}

QVariantList SimulatedNetworkManager::callMock(const QString& path, const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.NetworkManager"), path,
                                                       mockInterface, method);
    call.setArguments(arguments);
    const QDBusMessage reply = connection().call(call, QDBus::Block, 10000);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
        << method.toStdString() << ": " << reply.errorMessage().toStdString();
    return reply.arguments();
}

QString SimulatedNetworkManager::addWiFiDevice(const QString& name, const QString& interfaceName, quint32 state)
{
    const QVariantList reply = callMock(managerPath(), QStringLiteral("AddWiFiDevice"), {name, interfaceName, int(state)});
    return reply.isEmpty() ? QString() : reply.constFirst().toString();
}

QString SimulatedNetworkManager::addEthernetDevice(const QString& name, const QString& interfaceName)
{
    const QVariantList reply = callMock(managerPath(), QStringLiteral("AddEthernetDevice"), {name, interfaceName, 100});
    return reply.isEmpty() ? QString() : reply.constFirst().toString();
}

QString SimulatedNetworkManager::addAccessPoint(const QString& device, const AccessPoint& point)
{
    const QString name = QStringLiteral("ap%1").arg(++m_accessPointCount);
    const QVariantList reply = callMock(
        managerPath(), QStringLiteral("AddAccessPointWithFlags"),
        {device, name, point.ssid, point.bssid, 2u, point.frequencyMHz, point.maxBitrateKbps,
         QVariant::fromValue(uchar(point.strength)), point.privacy ? 1u : 0u, point.wpaFlags, point.rsnFlags});
    return reply.isEmpty() ? QString() : reply.constFirst().toString();
}

void SimulatedNetworkManager::removeAccessPoint(const QString& device, const QString& accessPoint)
{
    callMock(managerPath(), QStringLiteral("RemoveAccessPoint"), {device, accessPoint});
}

bool SimulatedNetworkManager::restart()
{
    m_bus.stopMocks();
    m_running = m_bus.startMock(PrivateSystemBus::networkManagerTemplate(), QStringLiteral("org.freedesktop.NetworkManager"));
    return m_running;
}

void SimulatedNetworkManager::emitSignal(const QString& path, const QString& interface, const QString& name,
                                         const QString& signature, const QVariantList& arguments)
{
    callMock(path, QStringLiteral("EmitSignal"), {interface, name, signature, QVariant::fromValue(arguments)});
}

void SimulatedNetworkManager::join(const QString& device, const QString& accessPoint)
{
    callMock(managerPath(), QStringLiteral("JoinAccessPoint"), {device, accessPoint});
}

void SimulatedNetworkManager::disconnect(const QString& device)
{
    callMock(managerPath(), QStringLiteral("Disconnect"), {device});
}

void SimulatedNetworkManager::setWirelessEnabled(bool enabled)
{
    setProperty(managerPath(), QStringLiteral("org.freedesktop.NetworkManager"), QStringLiteral("WirelessEnabled"), enabled);
}

void SimulatedNetworkManager::setScanBehaviour(const QString& device, const QString& errorText, int delayMs)
{
    callMock(managerPath(), QStringLiteral("SetScanBehaviour"), {device, errorText, delayMs});
}

void SimulatedNetworkManager::setActivationBehaviour(const QString& mode, const QString& text, quint32 reason)
{
    callMock(managerPath(), QStringLiteral("SetActivationBehaviour"), {mode, text, reason});
}

void SimulatedNetworkManager::setPermissions(const QMap<QString, QString>& permissions)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.NetworkManager"), managerPath(),
                                                       mockInterface, QStringLiteral("SetPermissions"));
    qDBusRegisterMetaType<QMap<QString, QString>>();
    call << QVariant::fromValue(permissions);
    const QDBusMessage reply = connection().call(call, QDBus::Block, 10000);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
}

void SimulatedNetworkManager::setProperty(const QString& path, const QString& interface, const QString& name,
                                          const QVariant& value)
{
    callMock(managerPath(), QStringLiteral("SetProperty"), {path, interface, name, QVariant::fromValue(QDBusVariant(value))});
}

void SimulatedNetworkManager::setCallFailure(const QString& path, const QString& interface, const QString& member,
                                             const QString& errorText)
{
    callMock(managerPath(), QStringLiteral("SetCallFailure"), {path, interface, member, errorText});
}

QList<QVariantList> SimulatedNetworkManager::methodCalls(const QString& path, const QString& method)
{
    const QVariantList reply = callMock(path, QStringLiteral("GetMethodCalls"), {method});
    QList<QVariantList> calls;
    if (reply.isEmpty())
        return calls;
    // a(tav): (timestamp, arguments)
    const QDBusArgument list = reply.constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 stamp = 0;
        QVariantList arguments;
        list.beginStructure();
        list >> stamp >> arguments;
        list.endStructure();
        calls.append(arguments);
    }
    list.endArray();
    return calls;
}
