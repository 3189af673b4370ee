// The whole loop once over the real components: NetworkManager simulated on a private bus, the
// detection page served over loopback HTTP. Only the portal assistant is a recorder.
#include "testkit/AppStateFakes.h"

#include "connectivity/CaptivePortalService.h"
#include "connectivity/CaptiveProbeURLSession.h"
#include "connectivity/NetworkManagerPathMonitor.h"
#include "connectivity/NetworkPathService.h"
#include "testkit/Await.h"
#include "testkit/LoopbackHttpServer.h"
#include "testkit/SimulatedNetworkManager.h"
#include "testkit/WiFiPrinters.h"
#include "wifi/NetworkManagerWiFiAssociator.h"
#include "wifi/NetworkManagerWiFiPowerController.h"
#include "wifi/NetworkManagerWiFiScanner.h"
#include "wifi/PublicNetworkScorer.h"
#include "wifi/WiFiConnectionRouter.h"
#include "wifi/WiFiConnectionService.h"

#include <QTemporaryDir>
#include <QTemporaryFile>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using AP = SimulatedNetworkManager::AccessPoint;

class AppStateSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(nm.isRunning()) << nm.errorText().toStdString();
        ASSERT_TRUE(noLinkStatistics.open());
        const QString device = nm.addWiFiDevice();
        nm.setScanBehaviour(device, {}, 0);
        nm.addAccessPoint(device, AP::open("Cafe Guest", 80));
        nm.addAccessPoint(device, AP::wpa2Personal("Home", 95));
    }

    std::unique_ptr<AppState> makeState()
    {
        const QDBusConnection bus = nm.connection();
        const QUrl page = detection.url(u"/hotspot-detect.html"_s);
        auto pathService = [bus] {
            return std::make_shared<NetworkPathService>([bus] { return std::make_unique<NetworkManagerPathMonitor>(bus); });
        };
        auto portal = std::make_shared<CaptivePortalService>(
            ConnectivityProbeClient(std::make_shared<CaptiveProbeURLSession>(), page));

        NetworkManagerWiFiScanner::Options scanOptions;
        scanOptions.scanBound = 2s;
        scanOptions.minimumScanInterval = 0ms;
        scanOptions.linkStatisticsFile = noLinkStatistics.fileName();
        WiFiConnectionService::Collaborators join;
        join.associator = std::make_shared<NetworkManagerWiFiAssociator>(bus, NetworkManagerWiFiAssociator::Options{2s, 5s});
        join.networkPathMonitor = pathService();
        join.portalHandler = portal;

        AppState::Collaborators c = rig.collaborators(dir.filePath(u"defaults.ini"_s));
        c.scanner = std::make_shared<NetworkManagerWiFiScanner>(bus, std::make_shared<PublicNetworkScorer>(), scanOptions);
        c.portal = portal;
        c.networkPathMonitor = pathService();
        c.connectionRouter = std::make_shared<WiFiConnectionRouter>(std::make_shared<WiFiConnectionService>(join));
        c.wifiPowerController = std::make_shared<NetworkManagerWiFiPowerController>(bus);
        c.requiresLocationPermissionGate = false;
        c.detectionPageURL = page;
        c.clock = nullptr;
        return std::make_unique<AppState>(c);
    }

    SimulatedNetworkManager nm;
    LoopbackHttpServer detection;
    AppStateRig rig;
    QTemporaryDir dir;
    QTemporaryFile noLinkStatistics;
};

TEST_F(AppStateSystemTest, ScanJoinsTheOnlyOpenNetworkAndVerifiesInternet)
{
    detection.route("/hotspot-detect.html", LoopbackHttpResponse::text(200, "<HTML><BODY>Success</BODY></HTML>"));
    const auto state = makeState();

    await(state->runConnectivityCheckToCompletion(true));
    ASSERT_TRUE(state->isConnecting()) << "exactly one open network in reach: joined without asking";
    EXPECT_EQ(state->connectingSSID(), u"Cafe Guest"_s);
    await(state->joinRunFinished());
    EXPECT_EQ(state->currentSnapshot().connectionState, ConnectionState::connected(u"Cafe Guest"_s));
    EXPECT_EQ(state->currentSnapshot().portalState, PortalState::online());
    EXPECT_EQ(nm.methodCalls(SimulatedNetworkManager::managerPath(), u"AddAndActivateConnection"_s).size(), 1);

    // The next check sees the joined network itself and keeps it.
    await(state->runConnectivityCheckToCompletion(true));
    EXPECT_EQ(state->currentSnapshot().currentSSID, u"Cafe Guest"_s);
    EXPECT_EQ(state->currentSnapshot().connectionState, ConnectionState::connected(u"Cafe Guest"_s));
    EXPECT_EQ(state->assistantTitle(), u"Connected to Cafe Guest"_s);
    EXPECT_TRUE(rig.assistant->hidden.isEmpty());
}

TEST_F(AppStateSystemTest, PortalAfterTheJoinGoesToTheHiddenAssistant)
{
    detection.route("/hotspot-detect.html", LoopbackHttpResponse::text(200, "<html><form>Sign in for free Wi-Fi</form></html>"));
    const auto state = makeState();

    await(state->runConnectivityCheckToCompletion(true));
    await(state->joinRunFinished());
    EXPECT_EQ(state->currentSnapshot().connectionState, ConnectionState::captive(u"Cafe Guest"_s));
    ASSERT_EQ(rig.assistant->hidden.size(), 1);
    EXPECT_EQ(rig.assistant->hidden.first().host(), u"127.0.0.1"_s);
    EXPECT_EQ(rig.analytics->named(AppAnalyticsEventName::publicWiFiRouteCaptiveDetected).size(), 1);

    // Still captive at the next automatic check: not opened a second time.
    await(state->runConnectivityCheckToCompletion(true));
    EXPECT_EQ(state->currentSnapshot().connectionState, ConnectionState::captive(u"Cafe Guest"_s));
    EXPECT_EQ(rig.assistant->hidden.size(), 1);
}
