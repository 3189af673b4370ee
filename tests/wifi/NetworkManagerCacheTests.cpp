// The signal-fed NetworkManager cache against the simulated NetworkManager: after every change of the
// simulated world the cache is settled (everything sent before is applied) and must show the change
// without having read anything whole again.
#include "testkit/Await.h"
#include "testkit/SimulatedNetworkManager.h"
#include "wifi/NetworkManagerCache.h"

#include <QDBusObjectPath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using AP = SimulatedNetworkManager::AccessPoint;

namespace {

const QString wireless = u"org.freedesktop.NetworkManager.Device.Wireless"_s;
const QString accessPointInterface = u"org.freedesktop.NetworkManager.AccessPoint"_s;

QList<QByteArray> ssids(const NetworkManagerState& state, const QString& device)
{
    QList<QByteArray> names;
    for (const NetworkManagerAccessPoint& point : state.accessPointsOf(device))
        names.append(point.ssid);
    return names;
}

} // namespace

class NetworkManagerCacheTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(nm.isRunning()) << nm.errorText().toStdString(); }

    // A cache read whole from the world as it is now.
    void start()
    {
        cache = std::make_shared<NetworkManagerCache>(nm.connection());
        QObject::connect(cache.get(), &NetworkManagerCache::readFinished, [this] { ++wholeReads; });
        await(cache->ready());
        ASSERT_EQ(wholeReads, 1);
    }
    const NetworkManagerState& settled()
    {
        await(cache->settled());
        return cache->state();
    }

    SimulatedNetworkManager nm;
    std::shared_ptr<NetworkManagerCache> cache;
    int wholeReads = 0;
};

TEST_F(NetworkManagerCacheTest, SignalsAloneKeepItCurrent)
{
    const QString device = nm.addWiFiDevice();
    const QString cafe = nm.addAccessPoint(device, AP::open("Cafe", 60));
    start();
    EXPECT_TRUE(cache->state().isPresent());
    EXPECT_EQ(cache->state().powerOn(), true);
    EXPECT_EQ(ssids(cache->state(), device), QList<QByteArray>{"Cafe"});
    EXPECT_FALSE(cache->state().joinedSSID());

    // Networks appear, change and disappear.
    const QString library = nm.addAccessPoint(device, AP::wpa2Personal("Library", 40));
    nm.setProperty(cafe, accessPointInterface, u"Strength"_s, QVariant::fromValue(uchar(95)));
    EXPECT_EQ(ssids(settled(), device), (QList<QByteArray>{"Cafe", "Library"}));
    EXPECT_EQ(cache->state().accessPoints.value(cafe).strength, 95);
    EXPECT_EQ(cache->state().accessPoints.value(library).rsnFlags,
              SimulatedNetworkManager::pairCCMP | SimulatedNetworkManager::groupCCMP | SimulatedNetworkManager::keyPSK);
    nm.removeAccessPoint(device, library);
    EXPECT_EQ(ssids(settled(), device), QList<QByteArray>{"Cafe"});
    EXPECT_FALSE(cache->state().accessPoints.contains(library)) << "nothing of a removed point is kept";

    // Joining and leaving: the device, its access point and its active connection.
    nm.join(device, cafe);
    const NetworkManagerState& joined = settled();
    EXPECT_EQ(joined.joinedSSID(), QByteArray("Cafe"));
    ASSERT_TRUE(joined.defaultWiFiDevice());
    EXPECT_EQ(joined.defaultWiFiDevice()->state, NetworkManagerDBus::deviceStateActivated);
    const auto active = joined.activeConnection(*joined.defaultWiFiDevice());
    ASSERT_TRUE(active);
    EXPECT_EQ(active->state, NetworkManagerDBus::activeStateActivated);
    EXPECT_EQ(active->specificObject, cafe);
    nm.disconnect(device);
    EXPECT_FALSE(settled().joinedSSID());
    EXPECT_FALSE(cache->state().activeConnection(*cache->state().defaultWiFiDevice()));

    // The radio switch: off empties the air, on brings the same networks back.
    nm.setWirelessEnabled(false);
    EXPECT_EQ(settled().powerOn(), false);
    EXPECT_TRUE(ssids(cache->state(), device).isEmpty());
    EXPECT_EQ(cache->state().defaultWiFiDevice()->state, NetworkManagerDBus::deviceStateUnavailable);
    nm.setWirelessEnabled(true);
    EXPECT_EQ(settled().powerOn(), true);
    EXPECT_EQ(ssids(cache->state(), device), QList<QByteArray>{"Cafe"});

    EXPECT_EQ(wholeReads, 1) << "every change above came by signal";
}

TEST_F(NetworkManagerCacheTest, GoesAbsentWithTheServiceAndIsReadWholeWhenItComesBack)
{
    const QString device = nm.addWiFiDevice();
    nm.join(device, nm.addAccessPoint(device, AP::open("Cafe")));
    start();
    EXPECT_EQ(cache->state().joinedSSID(), QByteArray("Cafe"));

    ASSERT_TRUE(nm.restart()) << nm.errorText().toStdString();
    // The restarted service starts empty and is filled after it took its name, as NetworkManager is.
    const QString again = nm.addWiFiDevice(u"wlan1"_s, u"wlx0011"_s);
    nm.addAccessPoint(again, AP::open("Library"));
    await(cache->ready());
    const NetworkManagerState& back = settled();
    EXPECT_TRUE(back.isPresent());
    EXPECT_GE(wholeReads, 2);
    EXPECT_FALSE(back.devices.contains(device)) << "nothing of the old service survives";
    EXPECT_EQ(ssids(back, again), QList<QByteArray>{"Library"});
    EXPECT_FALSE(back.joinedSSID());

    nm.bus().stopMocks();
    EXPECT_TRUE(spinUntil([this] { return cache->state().availability == NetworkManagerState::Availability::absent; }));
    EXPECT_TRUE(cache->state().devices.isEmpty());
    EXPECT_EQ(cache->state().powerOn(), std::nullopt) << "absent is unknown, not off";
}

TEST_F(NetworkManagerCacheTest, MalformedValuesAndSignalsLeaveAClearStateAndNoCrash)
{
    const QString device = nm.addWiFiDevice();
    const QString cafe = nm.addAccessPoint(device, AP::open("Cafe"));
    nm.join(device, cafe);
    start();
    const QString manager = SimulatedNetworkManager::managerPath();
    const QString managerInterface = u"org.freedesktop.NetworkManager"_s;

    // Properties of the wrong type or size read as unknown, never as a guess.
    nm.setProperty(manager, managerInterface, u"WirelessEnabled"_s, u"yes"_s);
    nm.setProperty(manager, managerInterface, u"State"_s, u"connected"_s);
    nm.setProperty(cafe, accessPointInterface, u"Ssid"_s, QByteArray(40, 'x'));
    nm.setProperty(device, wireless, u"ActiveAccessPoint"_s, u"/org/freedesktop/NetworkManager/AccessPoint/ap1"_s);
    const NetworkManagerState& state = settled();
    EXPECT_EQ(state.powerOn(), std::nullopt) << "unknown, not off";
    EXPECT_EQ(state.managerState, std::nullopt);
    EXPECT_TRUE(state.accessPoints.value(cafe).ssid.isEmpty()) << "longer than a network name can be";
    EXPECT_FALSE(state.joinedSSID()) << "a path sent as text is no path";

    // Signals with the wrong arguments are dropped.
    nm.emitSignal(manager, u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s, u"s"_s, {managerInterface});
    nm.emitSignal(device, wireless, u"AccessPointAdded"_s, u"s"_s, {u"not a path"_s});
    nm.emitSignal(device, u"org.freedesktop.NetworkManager.Device"_s, u"StateChanged"_s, u"s"_s, {u"100"_s});
    // An access point announced that does not exist is not listed.
    nm.emitSignal(device, wireless, u"AccessPointAdded"_s, u"o"_s,
                  {QVariant::fromValue(QDBusObjectPath(u"/org/freedesktop/NetworkManager/AccessPoint/ghost"_s))});
    const NetworkManagerState& after = settled();
    EXPECT_EQ(after.accessPointPaths.value(device), QStringList{cafe});
    EXPECT_EQ(after.defaultWiFiDevice()->state, NetworkManagerDBus::deviceStateActivated) << "a malformed signal changes nothing";

    // Good values afterwards are taken again.
    nm.setProperty(manager, managerInterface, u"WirelessEnabled"_s, true);
    nm.setProperty(cafe, accessPointInterface, u"Ssid"_s, QByteArray("Cafe"));
    EXPECT_EQ(settled().powerOn(), true);
    EXPECT_EQ(cache->state().accessPoints.value(cafe).ssid, QByteArray("Cafe"));
}
