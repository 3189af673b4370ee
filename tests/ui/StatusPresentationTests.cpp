#include "ui/ConnectedWiFiPresentation.h"
#include "ui/DiagnosticStatus.h"
#include "ui/NetworkListPlaceholder.h"
#include "ui/SignalQuality.h"
#include "ui/StatusNetworks.h"
#include "ui/WorkReadyStats.h"
#include "state/AppLocalizedText.h"

#include "testkit/Candidates.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

WiFiSnapshot snapshot(ConnectionState state, std::optional<QString> ssid = std::nullopt)
{
    WiFiSnapshot value;
    value.connectionState = std::move(state);
    value.currentSSID = std::move(ssid);
    return value;
}

QStringList ssids(const QList<PublicNetworkCandidate>& networks)
{
    QStringList names;
    for (const auto& n : networks)
        names.append(n.ssid);
    return names;
}

const QLocale english(QLocale::English);

} // namespace

TEST(StatusNetworksTest, PublicNetworksKeepFirstPerNameAndSortByQualityThenNameIgnoringCase)
{
    WiFiSnapshot value = snapshot(ConnectionState::ready());
    value.bestNetwork = network(u"Bean"_s, 60, NetworkSecurity::personal);
    value.candidates = {network(u"Bean"_s, 90), network(u"cafe"_s, 70), network(u"Locked"_s, 99, NetworkSecurity::personal),
                        network(u"Alpha"_s, 70), network(u"Zed"_s, 80)};

    const auto list = StatusNetworks::publicNetworks(value, english);

    EXPECT_EQ(ssids(list), (QStringList{u"Zed"_s, u"Alpha"_s, u"cafe"_s, u"Bean"_s}));
    EXPECT_EQ(list.last().quality, 60); // the best network's entry wins over the later duplicate
}

TEST(StatusNetworksTest, ConnectedPublicNetworkPrefersOpenCurrentRecordThenMatchesBySSID)
{
    WiFiSnapshot value = snapshot(ConnectionState::connected(u"Cafe"_s), u"Cafe"_s);
    const QList<PublicNetworkCandidate> list{network(u"Cafe"_s, 40)};
    EXPECT_EQ(StatusNetworks::connectedPublicNetwork(value, list)->quality, 40);

    value.currentNetwork = network(u"Cafe"_s, 77);
    EXPECT_EQ(StatusNetworks::connectedPublicNetwork(value, list)->quality, 77);

    value.currentNetwork = network(u"Cafe"_s, 77, NetworkSecurity::personal);
    EXPECT_EQ(StatusNetworks::connectedPublicNetwork(value, list)->quality, 40);

    value.currentSSID.reset();
    EXPECT_FALSE(StatusNetworks::connectedPublicNetwork(value, list));
}

TEST(StatusNetworksTest, LocationIsNeededUnlessAllowedOrUnknown)
{
    EXPECT_FALSE(StatusNetworks::isLocationNeeded(LocationAuthorizationStatus::allowed));
    EXPECT_FALSE(StatusNetworks::isLocationNeeded(LocationAuthorizationStatus::unknown));
    EXPECT_TRUE(StatusNetworks::isLocationNeeded(LocationAuthorizationStatus::denied));
    EXPECT_TRUE(StatusNetworks::isLocationNeeded(LocationAuthorizationStatus::notDetermined));
}

TEST(ConnectedWiFiPresentationTest, KnownNameCards)
{
    const auto connected = snapshot(ConnectionState::connected(u"Cafe"_s), u"Cafe"_s);
    EXPECT_EQ(ConnectedWiFiPresentation::make(connected, network(u"Cafe"_s, 80), LocationAuthorizationStatus::allowed),
              (ConnectedWiFiPresentation{u"Cafe"_s, u"Connected cafe Wi-Fi"_s, u"checkmark.circle.fill"_s,
                                         u"wifi.circle.fill"_s, ConnectedWiFiTone::active}));
    EXPECT_EQ(ConnectedWiFiPresentation::make(connected, std::nullopt, LocationAuthorizationStatus::allowed).detail,
              u"Internet verified on the current Wi-Fi."_s);

    const auto failed = ConnectedWiFiPresentation::make(snapshot(ConnectionState::failed(u"Join refused"_s), u"Cafe"_s),
                                                        std::nullopt, LocationAuthorizationStatus::allowed);
    EXPECT_EQ(failed.title, u"Cafe"_s);
    EXPECT_EQ(failed.detail, u"Join refused"_s);
    EXPECT_EQ(failed.tone, ConnectedWiFiTone::danger);

    const auto offline = ConnectedWiFiPresentation::make(snapshot(ConnectionState::offline(), u"Cafe"_s), std::nullopt,
                                                         LocationAuthorizationStatus::allowed);
    EXPECT_EQ(offline.tone, ConnectedWiFiTone::warning);
    EXPECT_EQ(offline.title, u"Cafe"_s);
}

TEST(ConnectedWiFiPresentationTest, HiddenNameCards)
{
    const auto placeholder = ConnectedWiFiPresentation::make(snapshot(ConnectionState::connected(u"Wi-Fi"_s)),
                                                             std::nullopt, LocationAuthorizationStatus::denied);
    EXPECT_EQ(placeholder.title, u"Connected Wi-Fi"_s);
    EXPECT_EQ(placeholder.detail,
              u"Internet is verified, but the Wi-Fi name stays hidden until NetworkManager lets BrewBeacon scan."_s);

    const auto named = ConnectedWiFiPresentation::make(snapshot(ConnectionState::captive(u"Lobby"_s)), std::nullopt,
                                                       LocationAuthorizationStatus::allowed);
    EXPECT_EQ(named.title, u"Lobby"_s);
    EXPECT_EQ(named.headerSystemImage, u"wifi.exclamationmark"_s);

    EXPECT_EQ(ConnectedWiFiPresentation::make(snapshot(ConnectionState::failed(u"x"_s)), std::nullopt,
                                              LocationAuthorizationStatus::allowed)
                  .title,
              u"Needs attention"_s);
    const auto offline = ConnectedWiFiPresentation::make(snapshot(ConnectionState::offline()), std::nullopt,
                                                         LocationAuthorizationStatus::allowed);
    EXPECT_EQ(offline.title, u"No internet connection"_s);
    EXPECT_EQ(offline.tone, ConnectedWiFiTone::danger);
}

TEST(ConnectedWiFiPresentationTest, ScanningAndReadyIgnoreTheNameAndTextsAreLocalized)
{
    EXPECT_EQ(ConnectedWiFiPresentation::make(snapshot(ConnectionState::ready(), u"Cafe"_s), std::nullopt,
                                              LocationAuthorizationStatus::allowed)
                  .title,
              u"No cafe Wi-Fi connected"_s);
    const QLocale vietnamese(QLocale::Vietnamese);
    const auto tile = DiagnosticStatus::cafeWiFi(snapshot(ConnectionState::ready()), std::nullopt, false, false,
                                                 vietnamese);
    EXPECT_EQ(tile.label, AppLocalizedText::localized(u"Cafe Wi-Fi"_s, vietnamese));
    EXPECT_NE(tile.label, u"Cafe Wi-Fi"_s);
}

TEST(DiagnosticStatusTest, CafeWiFiTileRules)
{
    auto value = snapshot(ConnectionState::scanning());
    const auto reading = DiagnosticStatus::cafeWiFi(value, std::nullopt, true, false, english);
    EXPECT_TRUE(reading.isLoading);
    EXPECT_FALSE(reading.value);

    value.currentNetwork = network(u"Home"_s, 50, NetworkSecurity::enterprise);
    const auto secured = DiagnosticStatus::cafeWiFi(value, std::nullopt, true, false, english);
    EXPECT_EQ(secured.value, u"No"_s);
    EXPECT_EQ(secured.detail, u"Enterprise network."_s);
    EXPECT_EQ(secured.systemImage, u"lock.fill"_s);

    value.currentNetwork.reset();
    value.currentSSID = u"Cafe"_s;
    EXPECT_EQ(DiagnosticStatus::cafeWiFi(value, network(u"Cafe"_s, 50), false, false, english).detail,
              u"Current SSID matches an open scan result."_s);
    EXPECT_EQ(DiagnosticStatus::cafeWiFi(value, std::nullopt, false, false, english).tone, DiagnosticStatusTone::warning);

    value.currentSSID.reset();
    EXPECT_EQ(DiagnosticStatus::cafeWiFi(value, std::nullopt, false, true, english).detail,
              u"Allow Wi-Fi scanning to read Wi-Fi names."_s);
    EXPECT_EQ(DiagnosticStatus::cafeWiFi(value, std::nullopt, false, false, english).detail,
              u"No current Wi-Fi name is visible."_s);
}

TEST(DiagnosticStatusTest, CaptivePortalTileByPortalState)
{
    EXPECT_EQ(DiagnosticStatus::captivePortal(PortalState::detected(QUrl(u"http://portal.test/"_s)), false, english).value,
              u"Yes"_s);
    EXPECT_EQ(DiagnosticStatus::captivePortal(PortalState::suspected(QUrl(u"http://portal.test/"_s)), false, english).detail,
              u"Portal response detected."_s);
    EXPECT_EQ(DiagnosticStatus::captivePortal(PortalState::suspected(std::nullopt), false, english).detail,
              u"Portal suspected; URL hidden."_s);
    EXPECT_TRUE(DiagnosticStatus::captivePortal(PortalState::unknown(), true, english).isLoading);
    // Nothing joined, nothing probing: no spinner that would never stop.
    const auto idle = DiagnosticStatus::captivePortal(PortalState::unknown(), false, english);
    EXPECT_FALSE(idle.isLoading);
    EXPECT_EQ(idle.value, u"Unknown"_s);
    EXPECT_EQ(DiagnosticStatus::captivePortal(PortalState::unavailable(), false, english).tone, DiagnosticStatusTone::danger);
}

TEST(NetworkListPlaceholderTest, LoadingThenTitleAndDetailByFirstMatchingRule)
{
    const auto idle = snapshot(ConnectionState::ready());
    EXPECT_EQ(NetworkListPlaceholder::make(idle, true, true, false, english).detail,
              u"The best open network will appear here after the connection settles."_s);

    auto scanned = idle;
    scanned.candidates = {network(u"Locked"_s, 80, NetworkSecurity::personal)};
    EXPECT_EQ(NetworkListPlaceholder::make(scanned, false, false, false, english),
              (NetworkListPlaceholder{false, u"No open cafe Wi-Fi found"_s,
                                      u"Nearby Wi-Fi was scanned, but none of the visible networks are open."_s}));

    // Denied location asks for access whatever the connection looks like.
    for (const auto& state : {ConnectionState::connected(u"Internet"_s), ConnectionState::captive(u"Wi-Fi"_s),
                              ConnectionState::offline()}) {
        EXPECT_EQ(NetworkListPlaceholder::make(snapshot(state), false, false, true, english).detail,
                  u"Allow Wi-Fi scanning for your user in NetworkManager to see nearby Wi-Fi names."_s);
    }
    EXPECT_EQ(NetworkListPlaceholder::make(snapshot(ConnectionState::connected(u"Internet"_s)), false, false, false, english)
                  .title,
              u"Wi-Fi name hidden"_s);
    EXPECT_EQ(NetworkListPlaceholder::make(snapshot(ConnectionState::captive(u"x"_s), u"x"_s), false, false, false, english)
                  .title,
              u"Scan list unavailable"_s);
}

TEST(SignalQualityTest, LitBarsRoundUpPerQuarterAndNeverLeaveAllDark)
{
    EXPECT_EQ(SignalQuality::litBars(0), 1);
    EXPECT_EQ(SignalQuality::litBars(25), 1);
    EXPECT_EQ(SignalQuality::litBars(26), 2);
    EXPECT_EQ(SignalQuality::litBars(75), 3);
    EXPECT_EQ(SignalQuality::litBars(76), 4);
    EXPECT_EQ(SignalQuality::litBars(100), 4);
    EXPECT_EQ(SignalQuality::litBars(-10), 1);
    EXPECT_EQ(SignalQuality::litBars(250), 4);
}

TEST(WorkReadyStatsTest, ScoreTextAndRing)
{
    WorkReadinessAssessment assessment;
    assessment.level = WorkReadinessLevel::good;
    assessment.score = 72;
    EXPECT_EQ(WorkReadyStats::scoreText(assessment, english), u"72 / 100"_s);
    EXPECT_DOUBLE_EQ(WorkReadyStats::scoreFraction(assessment), 0.72);

    assessment.score = 140;
    EXPECT_DOUBLE_EQ(WorkReadyStats::scoreFraction(assessment), 1.0);

    assessment.score.reset();
    EXPECT_EQ(WorkReadyStats::scoreText(assessment, english), u"Pending"_s);
    assessment.level = WorkReadinessLevel::checking;
    EXPECT_EQ(WorkReadyStats::scoreText(assessment, english), u"Checking"_s);
    EXPECT_EQ(WorkReadyStats::nextStep(assessment.level, english), u"Wait For Check"_s);
}
