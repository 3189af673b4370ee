// The scanner, power controller and associator against a simulated NetworkManager on a private bus.
// The scanner and power controller read a signal-fed cache: after changing the simulated world a test
// settles the cache (everything sent before is applied) where the answer must already show it.
#include "support/LogSinks.h"
#include "support/Logger.h"
#include "testkit/Await.h"
#include "testkit/Candidates.h"
#include "testkit/SimulatedNetworkManager.h"
#include "testkit/WiFiPrinters.h"
#include "wifi/NetworkManagerCache.h"
#include "wifi/NetworkManagerWiFiAssociator.h"
#include "wifi/NetworkManagerWiFiPowerController.h"
#include "wifi/NetworkManagerWiFiScanner.h"
#include "wifi/PublicNetworkScorer.h"

#include <QDBusObjectPath>

#include <QTemporaryFile>
#include <algorithm>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using AP = SimulatedNetworkManager::AccessPoint;

class NetworkManagerWiFiFacilityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(nm.isRunning()) << nm.errorText().toStdString();
        Logger::setMinimumLevel(LogLevel::Debug);
        // No kernel statistics: the readings come from NetworkManager alone.
        ASSERT_TRUE(noLinkStatistics.open());
        options.scanBound = 2s;
        options.minimumScanInterval = 0ms;
        options.linkStatisticsFile = noLinkStatistics.fileName();
        scanner = std::make_unique<NetworkManagerWiFiScanner>(cache, scorer, options);
    }
    void TearDown() override { Logger::setMinimumLevel(LogLevel::Default); }

    void settle() { await(cache->settled()); }
    // A scanner with a cache of its own, read whole from NetworkManager as it is now.
    std::unique_ptr<NetworkManagerWiFiScanner> freshScanner()
    {
        return std::make_unique<NetworkManagerWiFiScanner>(nm.connection(), scorer, options);
    }

    QString deviceWithScanDone()
    {
        const QString device = nm.addWiFiDevice();
        nm.setScanBehaviour(device, {}, 0);
        return device;
    }
    std::unique_ptr<NetworkManagerWiFiAssociator> associator(std::chrono::milliseconds activationBound = 2s)
    {
        return std::make_unique<NetworkManagerWiFiAssociator>(nm.connection(),
                                                              NetworkManagerWiFiAssociator::Options{2s, activationBound});
    }
    static PublicNetworkCandidate open(const QString& ssid)
    {
        PublicNetworkCandidate candidate;
        candidate.ssid = ssid;
        candidate.security = NetworkSecurity::open;
        return candidate;
    }

    SimulatedNetworkManager nm;
    std::shared_ptr<NetworkManagerCache> cache = std::make_shared<NetworkManagerCache>(nm.connection());
    std::shared_ptr<const PublicNetworkScoring> scorer = std::make_shared<PublicNetworkScorer>();
    NetworkManagerWiFiScanner::Options options;
    QTemporaryFile noLinkStatistics;
    std::unique_ptr<NetworkManagerWiFiScanner> scanner;
    LogCapture logs;
};

TEST_F(NetworkManagerWiFiFacilityTest, WithoutAWiFiDeviceEverythingSaysSo)
{
    nm.addEthernetDevice();
    const WiFiSnapshot snapshot = await(scanner->latestSnapshot());
    EXPECT_EQ(snapshot.connectionState, ConnectionState::failed(u"No Wi-Fi interface is available on this computer."_s));
    EXPECT_EQ(snapshot.portalState, PortalState::unavailable());
    EXPECT_TRUE(snapshot.candidates.isEmpty());
    EXPECT_FALSE(snapshot.interfaceDetails);
    EXPECT_EQ(await(scanner->currentSSID()), std::nullopt);
    EXPECT_EQ(await(NetworkManagerWiFiPowerController(nm.connection()).currentPowerState()), std::nullopt);
    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))), WiFiAssociationStatus::interfaceUnavailable());
    EXPECT_TRUE(logs.contains(u"WiFiScanner"_s, u"Wi-Fi scan failed: no NetworkManager Wi-Fi device"_s));
}

TEST_F(NetworkManagerWiFiFacilityTest, MixedNetworksRankAndKeepTheBestOfEachName)
{
    const QString device = deviceWithScanDone();
    nm.addAccessPoint(device, AP::open("Cafe", 50));
    nm.addAccessPoint(device, AP::open("cafe ", 90));
    nm.addAccessPoint(device, AP::wpa2Personal("Home", 99));
    nm.addAccessPoint(device, AP::wpa2Enterprise("Corp", 80));
    nm.addAccessPoint(device, AP::open(QByteArray())); // hidden: no usable name
    AP odd = AP::open(QByteArray("Caf\xe9", 4), 60);
    nm.addAccessPoint(device, odd);

    const WiFiSnapshot snapshot = await(scanner->latestSnapshot());
    EXPECT_EQ(snapshot.connectionState, ConnectionState::ready());
    EXPECT_EQ(snapshot.portalState, PortalState::unknown());
    const QStringList found = ssids(snapshot.candidates);
    EXPECT_EQ(found.size(), 4) << found.join(u'|').toStdString();
    EXPECT_TRUE(found.contains(u"cafe "_s)) << "the stronger of the two spellings survives under its own name";
    EXPECT_FALSE(found.contains(u"Cafe"_s));
    EXPECT_TRUE(found.contains(u"Caf\\xE9"_s) || found.contains(u"Caf\\xe9"_s)) << found.join(u'|').toStdString();
    for (qsizetype i = 1; i < snapshot.candidates.size(); ++i)
        EXPECT_GE(snapshot.candidates[i - 1].quality, snapshot.candidates[i].quality);
    ASSERT_TRUE(snapshot.bestNetwork);
    EXPECT_EQ(*snapshot.bestNetwork, snapshot.candidates.first());
    EXPECT_EQ(snapshot.openCandidates().size(), 2);
    EXPECT_EQ(nm.methodCalls(device, u"RequestScan"_s).size(), 1);
    EXPECT_TRUE(logs.contains(u"WiFiScanner"_s,
                              u"Wi-Fi scan completed: rawNetworks=6, uniqueCandidates=4, openCandidates=2"_s));
}

TEST_F(NetworkManagerWiFiFacilityTest, JoinedNetworkWithNoScanResultsIsConnectedWithItsOwnCandidate)
{
    const QString device = deviceWithScanDone();
    AP joined = AP::open(" Cafe Guest", 70);
    joined.frequencyMHz = 5180;
    joined.maxBitrateKbps = 866000;
    nm.join(device, nm.addAccessPoint(device, joined));
    nm.setProperty(device, u"org.freedesktop.NetworkManager.Device.Wireless"_s, u"Bitrate"_s, QVariant::fromValue(quint32(144000)));
    // The scan list is empty although the device is joined (NetworkManager drops stale entries).
    nm.setProperty(device, u"org.freedesktop.NetworkManager.Device.Wireless"_s, u"AccessPoints"_s,
                   QVariant::fromValue(QList<QDBusObjectPath>{}));

    const WiFiSnapshot snapshot = await(scanner->latestSnapshot());
    EXPECT_EQ(snapshot.currentSSID, u" Cafe Guest"_s) << "the name is kept untrimmed";
    EXPECT_EQ(snapshot.connectionState, ConnectionState::connected(u" Cafe Guest"_s));
    ASSERT_TRUE(snapshot.currentNetwork);
    const PublicNetworkCandidate& current = *snapshot.currentNetwork;
    EXPECT_EQ(current.security, NetworkSecurity::open);
    EXPECT_EQ(current.channel, u"36"_s);
    EXPECT_EQ(current.transmitRate, 144.0);
    ASSERT_TRUE(current.rssi && current.noise);
    EXPECT_EQ(current.detail, u"Excellent open signal"_s) << "-58 dBm over -95 rates Good, the open bonus lifts it";
    ASSERT_TRUE(snapshot.interfaceDetails);
    EXPECT_EQ(snapshot.interfaceDetails->interfaceName, u"wlp2s0"_s);
    EXPECT_EQ(snapshot.interfaceDetails->bssid, joined.bssid);
    EXPECT_EQ(await(scanner->currentSSID()), u" Cafe Guest"_s);
}

TEST_F(NetworkManagerWiFiFacilityTest, ScanErrorKeepsWhatWasReadOfTheJoinedNetwork)
{
    const QString device = nm.addWiFiDevice();
    AP joined = AP::wpa2Personal("Office", 80);
    nm.join(device, nm.addAccessPoint(device, joined));
    nm.setScanBehaviour(device, u"Scanning not allowed while unavailable"_s, 0);

    const WiFiSnapshot snapshot = await(scanner->latestSnapshot());
    EXPECT_EQ(snapshot.connectionState, ConnectionState::failed(u"Wi-Fi scan failed: Scanning not allowed while unavailable"_s));
    EXPECT_EQ(snapshot.portalState, PortalState::unavailable());
    EXPECT_EQ(snapshot.currentSSID, u"Office"_s);
    ASSERT_TRUE(snapshot.currentNetwork);
    EXPECT_EQ(snapshot.currentNetwork->security, NetworkSecurity::personal);
    EXPECT_TRUE(snapshot.currentNetwork->detail.endsWith(u", password required"_s));
    EXPECT_TRUE(snapshot.interfaceDetails);
}

TEST_F(NetworkManagerWiFiFacilityTest, ARefusalBecauseOfARecentScanReadsTheKnownNetworks)
{
    const QString device = nm.addWiFiDevice();
    nm.addAccessPoint(device, AP::open("Cafe"));
    nm.setScanBehaviour(device, u"Scanning not allowed immediately following previous scan"_s, 0);
    const WiFiSnapshot snapshot = await(scanner->latestSnapshot());
    EXPECT_EQ(snapshot.connectionState, ConnectionState::ready());
    EXPECT_EQ(ssids(snapshot.candidates), QStringList{u"Cafe"_s});
}

TEST_F(NetworkManagerWiFiFacilityTest, ScanRequestsAreRateLimitedButResultsStayFresh)
{
    options.minimumScanInterval = 1h;
    NetworkManagerWiFiScanner limited(cache, scorer, options);
    const QString device = deviceWithScanDone();
    nm.addAccessPoint(device, AP::open("Cafe"));
    settle();
    EXPECT_EQ(await(limited.latestSnapshot()).candidates.size(), 1);
    nm.addAccessPoint(device, AP::open("Library"));
    settle();
    EXPECT_EQ(await(limited.latestSnapshot()).candidates.size(), 2) << "the access point's signal is enough";
    EXPECT_EQ(nm.methodCalls(device, u"RequestScan"_s).size(), 1);
}

TEST_F(NetworkManagerWiFiFacilityTest, PowerFollowsTheRadioSwitch)
{
    const QString device = deviceWithScanDone();
    nm.addAccessPoint(device, AP::open("Cafe"));
    NetworkManagerWiFiPowerController power(cache);
    EXPECT_EQ(await(power.currentPowerState()), true);
    nm.setWirelessEnabled(false);
    settle();
    EXPECT_EQ(await(power.currentPowerState()), false);
    EXPECT_TRUE(await(scanner->latestSnapshot()).candidates.isEmpty()) << "a radio switched off hears nothing";
    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))), WiFiAssociationStatus::wifiOff());
    nm.setWirelessEnabled(true);
    settle();
    EXPECT_EQ(await(power.currentPowerState()), true);
    EXPECT_EQ(ssids(await(scanner->latestSnapshot()).candidates), QStringList{u"Cafe"_s});
}

TEST_F(NetworkManagerWiFiFacilityTest, AnUnavailableDeviceIsAnInactiveService)
{
    nm.addWiFiDevice(u"wlan0"_s, u"wlp2s0"_s, 20);
    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))), WiFiAssociationStatus::serviceInactive());
}

TEST_F(NetworkManagerWiFiFacilityTest, JoinsTheStrongestAccessPointOfTheExactName)
{
    const QString device = deviceWithScanDone();
    AP weak = AP::open("Cafe", 40);
    weak.bssid = u"00:00:00:00:00:01"_s;
    AP strong = AP::open("Cafe", 75);
    strong.bssid = u"00:00:00:00:00:02"_s;
    nm.addAccessPoint(device, weak);
    const QString strongPath = nm.addAccessPoint(device, strong);
    nm.addAccessPoint(device, AP::open("cafe", 99)); // another name by case

    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))), WiFiAssociationStatus::associated());
    const auto calls = nm.methodCalls(SimulatedNetworkManager::managerPath(), u"AddAndActivateConnection"_s);
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].value(2).value<QDBusObjectPath>().path(), strongPath);
    EXPECT_EQ(await(scanner->currentSSID()), u"Cafe"_s);
    EXPECT_TRUE(logs.contains(u"WiFiAssistant"_s, u"Association scan found 2 networks"_s));
    EXPECT_TRUE(logs.contains(u"WiFiAssistant"_s, u"Association succeeded"_s));

    // Joined now: the same name is already associated, a name differing by case is not.
    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))), WiFiAssociationStatus::alreadyAssociated());
    nm.disconnect(device);
    // Joining again reuses the saved open profile instead of adding another.
    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))), WiFiAssociationStatus::associated());
    EXPECT_EQ(nm.methodCalls(SimulatedNetworkManager::managerPath(), u"AddAndActivateConnection"_s).size(), 1);
    EXPECT_EQ(nm.methodCalls(SimulatedNetworkManager::managerPath(), u"ActivateConnection"_s).size(), 1);
}

TEST_F(NetworkManagerWiFiFacilityTest, ANetworkThatDisappearedIsNotFound)
{
    const QString device = deviceWithScanDone();
    nm.addAccessPoint(device, AP::open("Library"));
    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))), WiFiAssociationStatus::networkNotFound());
    EXPECT_TRUE(logs.contains(u"WiFiAssistant"_s, u"Association failed: network disappeared before join"_s));
    EXPECT_TRUE(nm.methodCalls(SimulatedNetworkManager::managerPath(), u"AddAndActivateConnection"_s).isEmpty());
}

TEST_F(NetworkManagerWiFiFacilityTest, FailedJoinsCarryNetworkManagersAnswer)
{
    const QString device = deviceWithScanDone();
    nm.addAccessPoint(device, AP::open("Cafe"));

    nm.setActivationBehaviour(u"error"_s, u"802.1X supplicant took too long to authenticate"_s);
    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))),
              WiFiAssociationStatus::failed(u"802.1X supplicant took too long to authenticate"_s));

    nm.setActivationBehaviour(u"deactivate"_s, {}, 53);
    const WiFiAssociationStatus ended = await(associator()->associate(open(u"Cafe"_s)));
    EXPECT_EQ(ended.kind(), WiFiAssociationStatus::Kind::failed);
    EXPECT_TRUE(ended.message()->contains(u"53"_s)) << ended.message()->toStdString();

    nm.setActivationBehaviour(u"hang"_s);
    EXPECT_EQ(await(associator(300ms)->associate(open(u"Cafe"_s))),
              WiFiAssociationStatus::failed(u"The join did not finish in time."_s));

    nm.setScanBehaviour(device, u"Scanning not allowed while unavailable"_s, 0);
    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))),
              WiFiAssociationStatus::failed(u"Scanning not allowed while unavailable"_s));
}

TEST_F(NetworkManagerWiFiFacilityTest, JoinsRunOneAtATime)
{
    const QString device = nm.addWiFiDevice();
    nm.setScanBehaviour(device, {}, 200);
    nm.addAccessPoint(device, AP::open("Cafe"));
    auto joiner = associator();
    // Both joins are in flight together; the second waits its turn and then finds the first done.
    auto first = joiner->associate(open(u"Cafe"_s));
    auto second = joiner->associate(open(u"Cafe"_s));
    EXPECT_EQ(await(std::move(first)), WiFiAssociationStatus::associated());
    EXPECT_EQ(await(std::move(second)), WiFiAssociationStatus::alreadyAssociated());
}

TEST_F(NetworkManagerWiFiFacilityTest, TheNameCheckFollowsLeavingAndJoiningAnotherDevice)
{
    const QString first = nm.addWiFiDevice();
    const QString cafe = nm.addAccessPoint(first, AP::open("Cafe", 70));
    nm.join(first, cafe);
    settle();
    EXPECT_EQ(await(scanner->currentSSID()), u"Cafe"_s);
    nm.disconnect(first);
    settle();
    EXPECT_EQ(await(scanner->currentSSID()), std::nullopt) << "the device no longer has a network";

    const QString second = nm.addWiFiDevice(u"wlan1"_s, u"wlx0011"_s);
    nm.join(second, nm.addAccessPoint(second, AP::open("Library", 60)));
    settle();
    EXPECT_EQ(await(scanner->currentSSID()), u"Library"_s) << "the device that appeared later is followed";
    nm.join(first, cafe);
    nm.disconnect(second);
    settle();
    EXPECT_EQ(await(scanner->currentSSID()), u"Cafe"_s);
}

TEST_F(NetworkManagerWiFiFacilityTest, AnOpenAccessPointBehindAStrongerSecuredOneOfItsNameIsListedAndJoined)
{
    const QString device = deviceWithScanDone();
    nm.addAccessPoint(device, AP::wpa2Personal("Cafe", 95));
    AP guest = AP::open("Cafe", 60);
    guest.bssid = u"00:00:00:00:00:0a"_s;
    const QString openPath = nm.addAccessPoint(device, guest);

    const WiFiSnapshot snapshot = await(scanner->latestSnapshot());
    ASSERT_EQ(snapshot.openCandidates().size(), 1);
    EXPECT_EQ(snapshot.openCandidates().first().ssid, u"Cafe"_s);
    EXPECT_EQ(snapshot.candidates.size(), 2) << "the secured one is listed too";

    EXPECT_EQ(await(associator()->associate(snapshot.openCandidates().first())), WiFiAssociationStatus::associated());
    const auto calls = nm.methodCalls(SimulatedNetworkManager::managerPath(), u"AddAndActivateConnection"_s);
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].value(2).value<QDBusObjectPath>().path(), openPath) << "never the secured access point";
}

TEST_F(NetworkManagerWiFiFacilityTest, ANameWithAnInvalidByteIsItsOwnNetworkEndToEnd)
{
    const QString device = deviceWithScanDone();
    const QString bytePath = nm.addAccessPoint(device, AP::open(QByteArray("Caf\xe9", 4), 50));
    AP literal = AP::open("Caf\\xE9", 80); // spelled with a backslash, as the other one is shown
    literal.bssid = u"00:00:00:00:00:0b"_s;
    const QString literalPath = nm.addAccessPoint(device, literal);

    const WiFiSnapshot snapshot = await(scanner->latestSnapshot());
    ASSERT_EQ(snapshot.candidates.size(), 2) << "shown alike, yet two networks";
    const auto byteNamed = std::find_if(snapshot.candidates.begin(), snapshot.candidates.end(),
                                        [](const auto& c) { return c.rawSSID() == QByteArray("Caf\xe9", 4); });
    ASSERT_NE(byteNamed, snapshot.candidates.end());

    EXPECT_EQ(await(associator()->associate(*byteNamed)), WiFiAssociationStatus::associated());
    auto calls = nm.methodCalls(SimulatedNetworkManager::managerPath(), u"AddAndActivateConnection"_s);
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].value(2).value<QDBusObjectPath>().path(), bytePath);

    // Joined to the byte-named one: the literally named one is not "already associated".
    const auto literalCandidate = std::find_if(snapshot.candidates.begin(), snapshot.candidates.end(),
                                               [](const auto& c) { return c.rawSSID() == QByteArray("Caf\\xE9"); });
    ASSERT_NE(literalCandidate, snapshot.candidates.end());
    EXPECT_EQ(await(associator()->associate(*literalCandidate)), WiFiAssociationStatus::associated());
    calls = nm.methodCalls(SimulatedNetworkManager::managerPath(), u"AddAndActivateConnection"_s);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[1].value(2).value<QDBusObjectPath>().path(), literalPath);
}

TEST_F(NetworkManagerWiFiFacilityTest, FailedReadingsAreFailuresWithNetworkManagersWordsNeverMadeUpValues)
{
    const QString device = deviceWithScanDone();
    nm.addAccessPoint(device, AP::open("Cafe"));
    const QString wireless = u"org.freedesktop.NetworkManager.Device.Wireless"_s;

    // What NetworkManager refuses while it is read whole stays a failure until a later read succeeds.
    nm.setCallFailure(device, wireless, u"GetAllAccessPoints"_s, u"Device is busy"_s);
    EXPECT_EQ(await(freshScanner()->latestSnapshot()).connectionState, ConnectionState::failed(u"Wi-Fi scan failed: Device is busy"_s))
        << "not \"ready, 0 networks\"";
    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))), WiFiAssociationStatus::failed(u"Device is busy"_s));
    nm.setCallFailure(device, wireless, u"GetAllAccessPoints"_s, {});

    nm.setCallFailure(SimulatedNetworkManager::managerPath(), u"org.freedesktop.NetworkManager"_s, {}, u"Permission denied"_s);
    EXPECT_EQ(await(NetworkManagerWiFiPowerController(nm.connection()).currentPowerState()), std::nullopt) << "not \"off\"";
    EXPECT_EQ(await(associator()->associate(open(u"Cafe"_s))), WiFiAssociationStatus::failed(u"Permission denied"_s))
        << "not wifiOff";
    nm.setCallFailure(SimulatedNetworkManager::managerPath(), u"org.freedesktop.NetworkManager"_s, {}, {});

    nm.setCallFailure(SimulatedNetworkManager::managerPath(), u"org.freedesktop.NetworkManager"_s, u"GetDevices"_s,
                      u"NetworkManager is restarting"_s);
    EXPECT_EQ(await(freshScanner()->latestSnapshot()).connectionState,
              ConnectionState::failed(u"Wi-Fi scan failed: NetworkManager is restarting"_s));
}
