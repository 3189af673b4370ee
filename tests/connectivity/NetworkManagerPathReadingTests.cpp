// The installed path reading against the simulated NetworkManager on a private bus.
#include "connectivity/NetworkManagerPathMonitor.h"
#include "connectivity/NetworkPathService.h"
#include "support/SystemBus.h"
#include "testkit/Await.h"
#include "testkit/PrivateSystemBus.h"
#include "testkit/SimulatedNetworkManager.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

NetworkPathService serviceOn(const QDBusConnection& bus, std::chrono::milliseconds timeout = NetworkPathService::defaultTimeout)
{
    return NetworkPathService([bus] { return std::make_unique<NetworkManagerPathMonitor>(bus); }, timeout);
}

QString stateParameters(quint32 state) { return u"{\"State\": %1}"_s.arg(state); }

void addMetered(const QDBusConnection& bus, quint32 metered)
{
    QDBusMessage call = QDBusMessage::createMethodCall(u"org.freedesktop.NetworkManager"_s,
                                                       SimulatedNetworkManager::managerPath(),
                                                       u"org.freedesktop.DBus.Mock"_s, u"AddProperty"_s);
    call << u"org.freedesktop.NetworkManager"_s << u"Metered"_s << QVariant::fromValue(QDBusVariant(metered));
    ASSERT_EQ(bus.call(call).type(), QDBusMessage::ReplyMessage);
}

} // namespace

TEST(NetworkManagerPathReading, ConnectedMeteredManagerIsAnExpensiveSatisfiedPath)
{
    SimulatedNetworkManager manager(stateParameters(70));
    ASSERT_TRUE(manager.isRunning()) << manager.errorText().toStdString();
    addMetered(manager.connection(), 3); // guessed metered, as for a phone hotspot
    EXPECT_EQ(await(serviceOn(manager.connection()).currentStatus()), NetworkPathStatus::satisfied(true, false));
}

TEST(NetworkManagerPathReading, WithoutNetworkManagerTheTimeOutAnswers)
{
    PrivateSystemBus bus;
    ASSERT_TRUE(bus.start()) << bus.errorText().toStdString();
    EXPECT_EQ(await(serviceOn(bus.connection(), 100ms).currentStatus()), NetworkPathStatus::unsatisfied());
}

// A connecting manager (40) read by the installed service through the system bus override.
TEST(NetworkManagerPathReading, InstalledServiceFollowsTheSystemBusOverride)
{
    SimulatedNetworkManager manager(stateParameters(40));
    ASSERT_TRUE(manager.isRunning()) << manager.errorText().toStdString();
    qputenv("BREWBEACON_SYSTEM_BUS_ADDRESS", manager.address().toUtf8());
    const NetworkPathStatus status = await(NetworkPathService().currentStatus());
    qunsetenv("BREWBEACON_SYSTEM_BUS_ADDRESS");
    EXPECT_EQ(status, NetworkPathStatus::requiresConnection());
}
