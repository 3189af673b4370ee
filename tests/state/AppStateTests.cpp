// The orchestrator over stand-ins and a hand-moved clock: every branch of the check, its cadences,
// the offer and join rules, portal openings and the settings.
#include "testkit/AppStateFakes.h"

#include "support/LogSinks.h"
#include "support/Logger.h"
#include "testkit/Await.h"
#include "testkit/Candidates.h"
#include "testkit/WiFiPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

WiFiSnapshot scanOf(const QList<PublicNetworkCandidate>& candidates, const std::optional<PublicNetworkCandidate>& joined = {})
{
    WiFiSnapshot snapshot;
    snapshot.connectionState = joined ? ConnectionState::connected(joined->ssid) : ConnectionState::ready();
    snapshot.candidates = candidates;
    if (!candidates.isEmpty())
        snapshot.bestNetwork = candidates.first();
    if (joined) {
        snapshot.currentSSID = joined->ssid;
        snapshot.currentNetwork = joined;
        snapshot.interfaceDetails = WiFiInterfaceDetails{};
    }
    snapshot.lastUpdated = QDateTime::currentDateTimeUtc();
    return snapshot;
}

} // namespace

class AppStateTest : public ::testing::Test {
protected:
    void SetUp() override { Logger::setMinimumLevel(LogLevel::Debug); }
    void TearDown() override { Logger::setMinimumLevel(LogLevel::Default); }

    AppState& state()
    {
        if (!m_state)
            m_state = std::make_unique<AppState>(rig.collaborators(m_dir.filePath(u"defaults.ini"_s)));
        return *m_state;
    }
    void check(bool automatic = true) { await(state().runConnectivityCheckToCompletion(automatic)); }
    void joined(const PublicNetworkCandidate& current, const QList<PublicNetworkCandidate>& around = {})
    {
        rig.scanner->ssid = current.ssid;
        rig.scanner->snapshot = scanOf(around.isEmpty() ? QList{current} : around, current);
    }
    bool logged(const QString& message) const { return logs.contains(u"WiFiAssistant"_s, message); }

    AppStateRig rig;
    LogCapture logs;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<AppState> m_state;
};

TEST_F(AppStateTest, RadioOffPublishesFailedWithoutScanningOrProbing)
{
    rig.power->state = false;
    check();
    EXPECT_EQ(state().currentSnapshot().connectionState, ConnectionState::failed(u"Wi-Fi is off."_s));
    EXPECT_EQ(state().currentSnapshot().portalState, PortalState::unavailable());
    EXPECT_EQ(rig.scanner->scans, 0);
    EXPECT_EQ(rig.portal->probes, 0);
    EXPECT_EQ(state().assistantTitle(), u"Needs attention"_s);
}

TEST_F(AppStateTest, JoinedChecksProbeEveryThreeSecondsAndScanEveryTenUnlessManual)
{
    joined(network(u"Cafe"_s, 80));
    check();
    EXPECT_EQ(state().currentSnapshot().connectionState, ConnectionState::connected(u"Cafe"_s));
    EXPECT_EQ(state().assistantTitle(), u"Connected to Cafe"_s);
    ASSERT_EQ(rig.portal->probes, 1);
    ASSERT_EQ(rig.scanner->scans, 1);

    rig.clock.advance(2.0);
    check();
    EXPECT_EQ(rig.portal->probes, 1) << "online 2 s ago: no probe";
    rig.clock.advance(1.0);
    check();
    EXPECT_EQ(rig.portal->probes, 2) << "3 s: probe";

    rig.clock.advance(6.0); // 9 s after the first scan
    check();
    EXPECT_EQ(rig.scanner->scans, 1);
    check(false);
    EXPECT_EQ(rig.scanner->scans, 2) << "a manual refresh always scans";
    EXPECT_EQ(rig.portal->probes, 4) << "and always probes";
    rig.clock.advance(10.0);
    check();
    EXPECT_EQ(rig.scanner->scans, 3);

    // A portal seen while joined turns the state captive, and the path going away makes it offline.
    rig.portal->state = PortalState::detected(QUrl(u"http://portal.test/login"_s));
    check(false);
    EXPECT_EQ(state().currentSnapshot().connectionState, ConnectionState::captive(u"Cafe"_s));
    rig.path->status = NetworkPathStatus::unsatisfied();
    check();
    EXPECT_EQ(state().currentSnapshot().connectionState, ConnectionState::offline());
    EXPECT_EQ(state().currentSnapshot().portalState, PortalState::unknown());
}

TEST_F(AppStateTest, ChecksNeverOverlap)
{
    rig.scanner->gate.closed = true;
    state().refreshSnapshot();
    ASSERT_TRUE(spinUntil([&] { return rig.scanner->scans == 1; }));
    state().refreshSnapshot();
    state().checkAndConnectPublicWiFi();
    rig.scanner->gate.open();
    ASSERT_TRUE(spinUntil([&] { return !state().isCheckingConnectivity(); }));
    EXPECT_EQ(rig.scanner->scans, 1);
    check(false);
    EXPECT_EQ(rig.scanner->scans, 2) << "the guard is released after a check";
}

TEST_F(AppStateTest, WeakJoinedNetworkGivesWayToExactlyOneStrongOpenOne)
{
    const auto current = network(u"Slow Cafe"_s, 64);
    joined(current, {network(u"Strong Guest"_s, 65), current, network(u"Home"_s, 90, NetworkSecurity::personal)});
    check();
    ASSERT_EQ(rig.router->requests.size(), 1);
    EXPECT_EQ(rig.router->requests.first().candidates.first().ssid, u"Strong Guest"_s);
    await(state().joinRunFinished());
    EXPECT_EQ(state().currentSnapshot().connectionState, ConnectionState::connected(u"Strong Guest"_s));
    EXPECT_EQ(rig.analytics->named(AppAnalyticsEventName::publicWiFiRouteSuccess).size(), 1);

    // At 65 the joined network is strong enough, and a strong joined network is never its own target.
    const auto strong = network(u"Good Cafe"_s, 65);
    rig.router->requests.clear();
    joined(strong, {network(u"Other"_s, 99), strong});
    check();
    EXPECT_TRUE(rig.router->requests.isEmpty());
}

TEST_F(AppStateTest, OpenNetworksAreOfferedOncePerSetAndOneIsJoinedOnlyWhenIdle)
{
    int offers = 0;
    state().setOpenNetworksDetectedHandler([&](const QList<PublicNetworkCandidate>&) { ++offers; });
    rig.path->status = NetworkPathStatus::unsatisfied();
    rig.scanner->snapshot = scanOf({network(u"A"_s, 70), network(u"B"_s, 60)});
    check();
    EXPECT_EQ(offers, 1);
    rig.scanner->snapshot = scanOf({network(u"B"_s, 75), network(u"A"_s, 50)});
    check();
    EXPECT_EQ(offers, 1) << "the same set in another order";
    rig.scanner->snapshot = scanOf({network(u"A"_s, 70), network(u"B"_s, 60), network(u"C"_s, 40)});
    check();
    EXPECT_EQ(offers, 2);
    EXPECT_EQ(rig.portal->probes, 0) << "open networks around: nothing is probed first";
    EXPECT_TRUE(rig.router->requests.isEmpty());

    // Exactly one while a join runs: nothing happens and the last offer is still remembered.
    rig.router->gate.closed = true;
    state().connectTo(network(u"Picked"_s, 50));
    ASSERT_TRUE(state().isConnecting());
    EXPECT_EQ(state().assistantTitle(), u"Connecting to cafe Wi-Fi"_s);
    rig.scanner->snapshot = scanOf({network(u"Solo"_s, 70)});
    check();
    EXPECT_EQ(rig.router->requests.size(), 1);
    state().connectTo(network(u"Another"_s, 50));
    EXPECT_EQ(rig.router->requests.size(), 1) << "one join run at a time";
    rig.router->gate.open();
    await(state().joinRunFinished());
    rig.scanner->snapshot = scanOf({network(u"A"_s, 70), network(u"B"_s, 60), network(u"C"_s, 40)});
    check();
    EXPECT_EQ(offers, 2) << "the offer signature survived the join";
}

TEST_F(AppStateTest, PublishesOnlyVisibleChanges)
{
    rig.path->status = NetworkPathStatus::unsatisfied();
    rig.scanner->snapshot = scanOf({network(u"Home"_s, 70, NetworkSecurity::personal)});
    int published = 0;
    QObject::connect(&state(), &AppState::currentSnapshotChanged, [&] { ++published; });
    check();
    rig.clock.advance(1.0);
    rig.scanner->snapshot.lastUpdated = rig.scanner->snapshot.lastUpdated.addSecs(5);
    check();
    EXPECT_EQ(published, 1);
    EXPECT_EQ(rig.analytics->named(AppAnalyticsEventName::connectionStateChanged).size(), 1);
}

TEST_F(AppStateTest, UserPicksFollowTheJoinRules)
{
    state().connectTo(network(u"Home"_s, 90, NetworkSecurity::personal));
    EXPECT_TRUE(rig.router->requests.isEmpty());

    // Not joined anywhere: a portal found by the join is tried in the background, at the detection
    // page when the portal gave no address.
    rig.router->outcome = [](const PublicNetworkCandidate& c) { return WiFiConnectionOutcome::captivePortal(c.ssid, std::nullopt); };
    state().connectTo(network(u"Guest"_s, 40));
    await(state().joinRunFinished());
    EXPECT_TRUE(rig.router->requests.first().userApproved);
    EXPECT_TRUE(rig.router->requests.first().allowWeakSignal);
    EXPECT_EQ(state().currentSnapshot().portalState, PortalState::suspected(std::nullopt));
    EXPECT_EQ(rig.assistant->hidden, QList{QUrl(u"http://detect.test/hotspot-detect.html"_s)});
    EXPECT_EQ(state().portalAssistantURL(), QUrl(u"http://detect.test/hotspot-detect.html"_s));

    // Joined to another network: the user decides about the new portal.
    joined(network(u"Office"_s, 80));
    check(false);
    state().connectTo(network(u"Guest"_s, 40));
    await(state().joinRunFinished());
    EXPECT_EQ(rig.assistant->hidden.size(), 1);

    // Failures land in the snapshot as the outcome's text.
    rig.router->outcome = [](const PublicNetworkCandidate& c) { return WiFiConnectionOutcome::offlineAfterConnect(c.ssid); };
    state().connectTo(network(u"Guest"_s, 40));
    await(state().joinRunFinished());
    EXPECT_EQ(state().currentSnapshot().connectionState,
              ConnectionState::failed(WiFiConnectionOutcome::offlineAfterConnect(u"Guest"_s).detail()));
    EXPECT_EQ(state().latestConnectionOutcome(), WiFiConnectionOutcome::offlineAfterConnect(u"Guest"_s));
}

TEST_F(AppStateTest, CaptiveNetworkOpensTheAssistantOncePerNetworkAndAddress)
{
    const QUrl login(u"http://portal.test/login"_s);
    joined(network(u"Cafe"_s, 80));
    rig.portal->state = PortalState::detected(login);
    check();
    rig.clock.advance(4);
    check();
    EXPECT_EQ(rig.assistant->hidden, QList{login});
    rig.portal->state = PortalState::online();
    rig.clock.advance(4);
    check();
    rig.portal->state = PortalState::detected(login);
    rig.clock.advance(4);
    check();
    EXPECT_EQ(rig.assistant->hidden.size(), 2) << "leaving the captive state re-arms the opening";

    check(false);
    EXPECT_EQ(rig.assistant->hidden.size(), 2) << "a manual refresh never opens it by itself";
    state().openPortal();
    EXPECT_EQ(rig.assistant->shown, QList{login});
    EXPECT_EQ(rig.analytics->named(AppAnalyticsEventName::portalAssistantOpened).size(), 1);

    // The radio going off and on at the same portal re-arms it too.
    rig.power->state = false;
    check();
    rig.power->state = true;
    rig.clock.advance(4);
    check();
    EXPECT_EQ(rig.assistant->hidden.size(), 3);
}

TEST_F(AppStateTest, LocationGateHoldsTheAssistantUntilAllowed)
{
    rig.location = LocationAuthorizationStatus::denied;
    state().startPublicWiFiAssistant();
    EXPECT_FALSE(state().isAssistantStarted());
    state().checkAndConnectPublicWiFi();
    EXPECT_EQ(state().assistantTitle(), u"Wi-Fi permission needed"_s);
    EXPECT_EQ(rig.scanner->scans, 0);

    // A manual refresh still runs and says why it found nothing.
    rig.path->status = NetworkPathStatus::unsatisfied();
    check(false);
    EXPECT_TRUE(logged(u"Offline scan blocked by location gate: denied"_s));
    EXPECT_EQ(state().currentSnapshot().connectionState, ConnectionState::offline());

    rig.location = LocationAuthorizationStatus::allowed;
    state().handleLocationAuthorizationChange(LocationAuthorizationStatus::allowed);
    EXPECT_TRUE(state().isAssistantStarted());
    EXPECT_EQ(rig.analytics->named(AppAnalyticsEventName::assistantStarted).size(), 1);
    const int scansAtStart = rig.scanner->scans;
    ASSERT_TRUE(spinUntil([&] { return rig.scanner->scans >= scansAtStart + 4; }, std::chrono::seconds(10)))
        << "the loop keeps checking every second";
}

TEST_F(AppStateTest, MissingWiFiDeviceKeepsTheScannersMessage)
{
    rig.power->state = std::nullopt;
    rig.path->status = NetworkPathStatus::unsatisfied();
    rig.scanner->snapshot.connectionState = ConnectionState::failed(u"No Wi-Fi interface is available on this computer."_s);
    check();
    EXPECT_EQ(state().currentSnapshot().connectionState.message(), u"No Wi-Fi interface is available on this computer."_s);
}

TEST_F(AppStateTest, SettingsAreStoredAndReported)
{
    rig.store->stored.fullName = u"Linh"_s;
    EXPECT_TRUE(spinUntil([&] { return state().portalAutofillProfile().fullName == u"Linh"_s; }));

    PortalAutofillProfile edited;
    edited.fullName = u"  Minh Le "_s;
    state().savePortalAutofillProfile(edited);
    EXPECT_EQ(state().portalAutofillProfile().fullName, u"Minh Le"_s);
    ASSERT_EQ(rig.store->saves.size(), 1);
    EXPECT_EQ(rig.store->saves.first().fullName, u"Minh Le"_s);

    state().setAnonymousAnalyticsEnabled(false);
    EXPECT_TRUE(rig.analytics->named(AppAnalyticsEventName::settingChanged).isEmpty()) << "turning it off sends nothing";
    EXPECT_FALSE(rig.defaults->value(u"anonymousAnalyticsEnabled"_s).toBool());
    state().setAnonymousAnalyticsEnabled(true);
    EXPECT_EQ(rig.analytics->named(AppAnalyticsEventName::settingChanged).size(), 1);

    state().setLaunchAtLogin(true);
    EXPECT_TRUE(state().launchAtLogin());
    rig.launchAtLogin->fail = true;
    state().setLaunchAtLogin(false);
    EXPECT_TRUE(state().launchAtLogin()) << "a refused change leaves what the system reports";
    EXPECT_EQ(rig.analytics->named(AppAnalyticsEventName::settingChanged).size(), 2);
}

TEST_F(AppStateTest, OnlyWebAddressesReachThePortalAssistant)
{
    const QUrl detection(u"http://detect.test/hotspot-detect.html"_s);
    rig.router->outcome = [](const PublicNetworkCandidate& c) {
        return WiFiConnectionOutcome::captivePortal(c.ssid, QUrl(u"javascript:alert(1)"_s));
    };
    state().connectTo(network(u"Guest"_s, 40));
    await(state().joinRunFinished());
    EXPECT_EQ(rig.assistant->hidden, QList{detection});

    joined(network(u"Cafe"_s, 80));
    rig.portal->state = PortalState::detected(QUrl(u"file:///etc/passwd"_s));
    check();
    EXPECT_EQ(rig.assistant->hidden, (QList{detection, detection}));
    EXPECT_EQ(state().portalAssistantURL(), detection);
    state().openPortal();
    EXPECT_EQ(rig.assistant->shown, QList{detection});
}

TEST_F(AppStateTest, GateCheckLeavesARunningJoinInChargeOfItsFlag)
{
    rig.router->gate.closed = true;
    state().connectTo(network(u"Guest"_s, 40));
    ASSERT_TRUE(state().isConnecting());
    rig.location = LocationAuthorizationStatus::denied;
    state().checkAndConnectPublicWiFi();
    EXPECT_TRUE(logged(u"Auto-connect check blocked: location status denied"_s));
    EXPECT_TRUE(state().isConnecting()) << "the join is still running";
    state().connectTo(network(u"Other"_s, 40));
    EXPECT_EQ(rig.router->requests.size(), 1) << "no second join beside the first";
    rig.router->gate.open();
    await(state().joinRunFinished());
    EXPECT_FALSE(state().isConnecting());
}

TEST_F(AppStateTest, AProfileIsReportedSavedOnlyWhenTheKeyringStoredIt)
{
    QList<bool> answers;
    QObject::connect(&state(), &AppState::portalAutofillProfileStored, [&](bool stored) { answers.append(stored); });
    rig.store->failWrites = true;
    PortalAutofillProfile edited;
    edited.fullName = u"Minh"_s;
    state().savePortalAutofillProfile(edited);
    ASSERT_TRUE(spinUntil([&] { return !answers.isEmpty(); }));
    EXPECT_EQ(answers, QList{false});
    EXPECT_TRUE(logs.messages(u"WiFiAssistant"_s).filter(u"Portal autofill profile saved"_s).isEmpty());
    EXPECT_TRUE(logged(u"Portal autofill profile save failed: the keyring did not store it"_s));

    rig.store->failWrites = false;
    state().savePortalAutofillProfile(edited);
    ASSERT_TRUE(spinUntil([&] { return answers.size() == 2; }));
    EXPECT_EQ(answers.last(), true);
    EXPECT_TRUE(logged(u"Portal autofill profile saved: hasName=true, hasBirthYear=false"_s));
}

TEST_F(AppStateTest, ASwitchToAnotherNetworkIsScannedAtOnce)
{
    joined(network(u"Cafe"_s, 80));
    check();
    ASSERT_EQ(rig.scanner->scans, 1);
    rig.clock.advance(2);
    const PublicNetworkCandidate library = network(u"Library"_s, 50);
    const PublicNetworkCandidate strong = network(u"Bakery"_s, 90);
    joined(library, {library, strong});
    check();
    EXPECT_EQ(rig.scanner->scans, 2);
    EXPECT_EQ(state().currentSnapshot().currentNetwork, library);
    EXPECT_EQ(state().currentSnapshot().candidates.size(), 2);
    // With the new network's candidates at hand the weak one gives way to the strong open one.
    await(state().joinRunFinished());
    ASSERT_EQ(rig.router->requests.size(), 1);
    EXPECT_EQ(rig.router->requests.first().candidates.first().ssid, u"Bakery"_s);
}

TEST_F(AppStateTest, ThePermissionIsAskedForWhateverTheStatus)
{
    rig.location = LocationAuthorizationStatus::denied;
    state().refreshLocationAuthorizationStatus();
    state().requestLocationPermissionIfNeeded();
    EXPECT_EQ(rig.permissionRequests, 1) << "the controller reports a settled status itself";
}
