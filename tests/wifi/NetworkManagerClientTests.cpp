#include "testkit/SimulatedNetworkManager.h"
#include "wifi/NetworkManagerClient.h"

#include <QDBusArgument>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using AP = SimulatedNetworkManager::AccessPoint;

class NetworkManagerClientTests : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(nm.isRunning()) << nm.errorText().toStdString(); }

    SimulatedNetworkManager nm;
    NetworkManagerClient client{nm.connection()};
};

TEST_F(NetworkManagerClientTests, NoDeviceWhenNetworkManagerIsAbsent)
{
    PrivateSystemBus empty;
    ASSERT_TRUE(empty.start());
    NetworkManagerClient absent(empty.connection());
    EXPECT_FALSE(absent.defaultWiFiDevice());
    EXPECT_FALSE(absent.wirelessEnabled());
}

TEST_F(NetworkManagerClientTests, PrefersTheJoinedWiFiDevice)
{
    nm.addEthernetDevice();
    nm.addWiFiDevice(QStringLiteral("wlan0"), QStringLiteral("wlp1s0"));
    const QString second = nm.addWiFiDevice(QStringLiteral("wlan1"), QStringLiteral("wlx00c0"));
    EXPECT_EQ(client.defaultWiFiDevice()->interfaceName, QStringLiteral("wlp1s0"));
    nm.join(second, nm.addAccessPoint(second, AP::open("Cafe")));
    const auto device = client.defaultWiFiDevice();
    ASSERT_TRUE(device);
    EXPECT_EQ(device->interfaceName, QStringLiteral("wlx00c0"));
    EXPECT_FALSE(device->activeAccessPointPath.isEmpty());
    EXPECT_EQ(client.activeAccessPoint(*device)->ssid, QByteArray("Cafe"));
}

TEST_F(NetworkManagerClientTests, ReadsAccessPointsWithRawBytesAndFlags)
{
    const QString device = nm.addWiFiDevice();
    AP odd = AP::wpa2Enterprise(QByteArray("Caf\xe9\xff", 5), 42);
    odd.frequencyMHz = 5180;
    odd.bssid = QStringLiteral("AA:BB:CC:DD:EE:FF");
    nm.addAccessPoint(device, odd);
    nm.addAccessPoint(device, AP::open(QByteArray()));
    const auto points = client.accessPoints(*client.defaultWiFiDevice());
    ASSERT_EQ(points.size(), 2);
    EXPECT_EQ(points[0].ssid, QByteArray("Caf\xe9\xff", 5));
    EXPECT_EQ(points[0].flags, 1u);
    EXPECT_EQ(points[0].rsnFlags, SimulatedNetworkManager::pairCCMP | SimulatedNetworkManager::groupCCMP | SimulatedNetworkManager::key8021X);
    EXPECT_EQ(points[0].strength, 42);
    EXPECT_EQ(points[0].frequencyMHz, 5180u);
    EXPECT_EQ(points[0].bssid, QStringLiteral("AA:BB:CC:DD:EE:FF"));
    EXPECT_TRUE(points[1].ssid.isEmpty());
}

TEST_F(NetworkManagerClientTests, ScanWaitsForLastScanAndSendsDirectedNames)
{
    const QString path = nm.addWiFiDevice();
    nm.setScanBehaviour(path, {}, 300);
    const auto device = client.defaultWiFiDevice();
    EXPECT_EQ(client.scan(*device, {QByteArray("Cafe")}, 10s), std::nullopt);
    EXPECT_NE(client.device(path)->lastScan, device->lastScan);
    const auto calls = nm.methodCalls(path, QStringLiteral("RequestScan"));
    ASSERT_EQ(calls.size(), 1);
    const QVariantMap options = qdbus_cast<QVariantMap>(calls[0].value(0).value<QDBusArgument>());
    EXPECT_TRUE(options.contains(QStringLiteral("ssids")));
}

TEST_F(NetworkManagerClientTests, ScanFailuresCarryNetworkManagersTextAndTheBoundHolds)
{
    const QString path = nm.addWiFiDevice();
    nm.setScanBehaviour(path, QStringLiteral("Scanning not allowed while unavailable"), 0);
    const auto device = client.defaultWiFiDevice();
    EXPECT_EQ(client.scan(*device, {}, 10s), NetworkManagerFailure::callFailed(QStringLiteral("Scanning not allowed while unavailable")));
    nm.setScanBehaviour(path, {}, -1);
    EXPECT_EQ(client.scan(*device, {}, 200ms)->kind, NetworkManagerFailure::Kind::TimedOut);
}
