// The installed path reading against a simulated NetworkManager on a private bus of its own.
#include "connectivity/NetworkManagerPathMonitor.h"
#include "connectivity/NetworkPathService.h"
#include "support/SystemBus.h"
#include "testkit/Await.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class PrivateBusWithNetworkManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        ASSERT_TRUE(m_daemon.waitForStarted());
        ASSERT_TRUE(spinUntil([this] { return m_daemon.canReadLine(); }));
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
        m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(m_address, u"nm-path-test"_s));
        ASSERT_TRUE(m_bus->isConnected());
    }

    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(u"nm-path-test"_s);
        for (QProcess* process : {&m_mock, &m_daemon}) {
            process->terminate();
            process->waitForFinished(3000);
        }
    }

    void startNetworkManager(quint32 state)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"DBUS_SYSTEM_BUS_ADDRESS"_s, m_address);
        m_mock.setProcessEnvironment(environment);
        m_mock.start(u"/usr/bin/python3"_s, {u"-m"_s, u"dbusmock"_s, u"--system"_s, u"--template"_s,
                                             u"networkmanager"_s, u"--parameters"_s,
                                             u"{\"State\": %1}"_s.arg(state)});
        ASSERT_TRUE(m_mock.waitForStarted());
        ASSERT_TRUE(spinUntil([this] {
            return m_bus->interface()->isServiceRegistered(u"org.freedesktop.NetworkManager"_s).value();
        }));
    }

    void addMetered(quint32 metered)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(u"org.freedesktop.NetworkManager"_s,
                                                           u"/org/freedesktop/NetworkManager"_s,
                                                           u"org.freedesktop.DBus.Mock"_s, u"AddProperty"_s);
        call << u"org.freedesktop.NetworkManager"_s << u"Metered"_s << QVariant::fromValue(QDBusVariant(metered));
        ASSERT_EQ(m_bus->call(call).type(), QDBusMessage::ReplyMessage);
    }

    NetworkPathService service(std::chrono::milliseconds timeout = NetworkPathService::defaultTimeout)
    {
        const QDBusConnection bus = *m_bus;
        return NetworkPathService([bus] { return std::make_unique<NetworkManagerPathMonitor>(bus); }, timeout);
    }

    QProcess m_daemon;
    QProcess m_mock;
    QString m_address;
    std::unique_ptr<QDBusConnection> m_bus;
};

} // namespace

TEST_F(PrivateBusWithNetworkManager, ConnectedMeteredManagerIsAnExpensiveSatisfiedPath)
{
    startNetworkManager(70);
    addMetered(3); // guessed metered, as for a phone hotspot
    EXPECT_EQ(await(service().currentStatus()), NetworkPathStatus::satisfied(true, false));
}

TEST_F(PrivateBusWithNetworkManager, ConnectingManagerRequiresConnection)
{
    startNetworkManager(40);
    EXPECT_EQ(await(service().currentStatus()), NetworkPathStatus::requiresConnection());
}

TEST_F(PrivateBusWithNetworkManager, WithoutNetworkManagerTheTimeOutAnswers)
{
    EXPECT_EQ(await(service(100ms).currentStatus()), NetworkPathStatus::unsatisfied());
}

TEST_F(PrivateBusWithNetworkManager, InstalledServiceFollowsTheSystemBusOverride)
{
    startNetworkManager(40);
    qputenv("BREWBEACON_SYSTEM_BUS_ADDRESS", m_address.toUtf8());
    const NetworkPathStatus status = await(NetworkPathService().currentStatus());
    qunsetenv("BREWBEACON_SYSTEM_BUS_ADDRESS");
    EXPECT_EQ(status, NetworkPathStatus::requiresConnection());
    EXPECT_EQ(SystemBus::connection().name(), QDBusConnection::systemBus().name());
}
