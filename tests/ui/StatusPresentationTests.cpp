#include "ui/ConnectedWiFiPresentation.h"
#include "ui/DiagnosticStatus.h"
#include "ui/NetworkListPlaceholder.h"
#include "ui/SignalQuality.h"
#include "ui/StatusNetworks.h"
#include "ui/WorkReadyStats.h"

#include "RuleTexts.h"
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

// The card's title is the network's name when one is known (never a placeholder name), its detail and
// tone follow the state; ready and scanning ignore the name.
TEST(ConnectedWiFiPresentationTest, TitleDetailAndToneByStateAndKnownName)
{
    using Tone = ConnectedWiFiTone;
    using L = LocationAuthorizationStatus;
    const auto cafe = std::optional(network(u"Cafe"_s, 80));
    const struct {
        WiFiSnapshot snapshot;
        std::optional<PublicNetworkCandidate> publicNetwork;
        L location;
        QString name;          // the expected title when it is a network's name
        const char* titleRule; // else the rule whose title is shown
        const char* detailRule;
        Tone tone;
    } cases[] = {
        {snapshot(ConnectionState::connected(u"Cafe"_s), u"Cafe"_s), cafe, L::allowed, u"Cafe"_s, "", "public", Tone::active},
        {snapshot(ConnectionState::connected(u"Cafe"_s), u"Cafe"_s), {}, L::allowed, u"Cafe"_s, "", "verified", Tone::active},
        {snapshot(ConnectionState::failed(u"Join refused"_s), u"Cafe"_s), {}, L::allowed, u"Cafe"_s, "", "Join refused",
         Tone::danger},
        {snapshot(ConnectionState::offline(), u"Cafe"_s), {}, L::allowed, u"Cafe"_s, "", "local only", Tone::warning},
        {snapshot(ConnectionState::captive(u"Lobby"_s), u"Lobby"_s), {}, L::allowed, u"Lobby"_s, "", "portal", Tone::warning},
        {snapshot(ConnectionState::captive(u"Lobby"_s)), {}, L::allowed, u"Lobby"_s, "", "portal", Tone::warning},
        {snapshot(ConnectionState::captive(u"Wi-Fi"_s)), {}, L::allowed, {}, "portal placeholder", "portal", Tone::warning},
        {snapshot(ConnectionState::connected(u"Home"_s)), {}, L::allowed, u"Home"_s, "", "name not reported", Tone::active},
        {snapshot(ConnectionState::connected(u"Internet"_s)), {}, L::allowed, {}, "connected placeholder",
         "name not reported", Tone::active},
        {snapshot(ConnectionState::connected(u" "_s)), {}, L::denied, {}, "connected placeholder", "name needs scanning",
         Tone::active},
        {snapshot(ConnectionState::failed(u"No device"_s)), {}, L::allowed, {}, "needs attention", "No device", Tone::danger},
        {snapshot(ConnectionState::offline()), {}, L::allowed, {}, "no internet", "no path", Tone::danger},
        {snapshot(ConnectionState::ready(), u"Cafe"_s), {}, L::allowed, {}, "ready", "ready", Tone::muted},
        {snapshot(ConnectionState::scanning(), u"Cafe"_s), {}, L::allowed, {}, "scanning", "scanning", Tone::active},
    };
    RuleTexts titles, details;
    for (const auto& c : cases) {
        const auto card = ConnectedWiFiPresentation::make(c.snapshot, c.publicNetwork, c.location);
        const std::string label = c.snapshot.connectionState.analyticsValue().toStdString() + " " + c.titleRule;
        if (!c.name.isEmpty())
            EXPECT_EQ(card.title, c.name) << label;
        else
            titles.expect(QString::fromLatin1(c.titleRule), card.title, label);
        // A failure's own message is the detail.
        if (const auto message = c.snapshot.connectionState.message())
            EXPECT_EQ(card.detail, *message) << label;
        else
            details.expect(QString::fromLatin1(c.detailRule), card.detail, label);
        EXPECT_EQ(card.tone, c.tone) << label;
    }
    EXPECT_NE(ConnectedWiFiPresentation::make(snapshot(ConnectionState::ready()), {}, L::allowed, QLocale(QLocale::Vietnamese)).title,
              ConnectedWiFiPresentation::make(snapshot(ConnectionState::ready()), {}, L::allowed, english).title);
}

TEST(DiagnosticStatusTest, CafeWiFiTileByWhatIsKnownOfTheCurrentNetwork)
{
    auto value = snapshot(ConnectionState::scanning());
    const auto reading = DiagnosticStatus::cafeWiFi(value, std::nullopt, true, false, english);
    EXPECT_TRUE(reading.isLoading);
    EXPECT_FALSE(reading.value);

    value.currentNetwork = network(u"Home"_s, 50, NetworkSecurity::enterprise);
    const auto secured = DiagnosticStatus::cafeWiFi(value, std::nullopt, true, false, english);
    EXPECT_FALSE(secured.isLoading) << "a known network is shown even while reading";
    EXPECT_EQ(secured.detail, u"Enterprise network."_s);
    EXPECT_EQ(secured.tone, DiagnosticStatusTone::muted);
    value.currentNetwork = network(u"Cafe"_s, 50);
    const auto open = DiagnosticStatus::cafeWiFi(value, std::nullopt, false, false, english);
    EXPECT_EQ(open.tone, DiagnosticStatusTone::active);
    EXPECT_NE(open.value, secured.value);

    // Without the record: a name that matches an open scan result counts as open, an unmatched one is a warning.
    value.currentNetwork.reset();
    value.currentSSID = u"Cafe"_s;
    EXPECT_EQ(DiagnosticStatus::cafeWiFi(value, network(u"Cafe"_s, 50), false, false, english).value, open.value);
    EXPECT_EQ(DiagnosticStatus::cafeWiFi(value, std::nullopt, false, false, english).tone, DiagnosticStatusTone::warning);

    value.currentSSID.reset();
    EXPECT_NE(DiagnosticStatus::cafeWiFi(value, std::nullopt, false, true, english).detail,
              DiagnosticStatus::cafeWiFi(value, std::nullopt, false, false, english).detail)
        << "a hidden name says whether scanning permission would show it";
}

TEST(DiagnosticStatusTest, CaptivePortalTileSpinsOnlyWhileAProbeRuns)
{
    // Nothing joined, nothing probing: no spinner that would never stop.
    EXPECT_FALSE(DiagnosticStatus::captivePortal(PortalState::unknown(), false, english).isLoading);
    EXPECT_TRUE(DiagnosticStatus::captivePortal(PortalState::unknown(), true, english).isLoading);
    EXPECT_FALSE(DiagnosticStatus::captivePortal(PortalState::online(), true, english).isLoading);
    EXPECT_EQ(DiagnosticStatus::captivePortal(PortalState::unavailable(), false, english).tone, DiagnosticStatusTone::danger);
    EXPECT_NE(DiagnosticStatus::captivePortal(PortalState::suspected(std::nullopt), false, english).detail,
              DiagnosticStatus::captivePortal(PortalState::suspected(QUrl(u"http://p.test/"_s)), false, english).detail);
}

// Loading first; then the title from the first matching of candidates, a known name, connected, captive;
// the detail asks for scanning permission whenever it is needed.
TEST(NetworkListPlaceholderTest, LoadingThenTitleAndDetailByFirstMatchingRule)
{
    const auto idle = snapshot(ConnectionState::ready());
    const auto reading = NetworkListPlaceholder::make(idle, true, true, false, english);
    EXPECT_TRUE(reading.isLoading);
    EXPECT_NE(reading.detail, NetworkListPlaceholder::make(idle, true, false, false, english).detail)
        << "a running join says the list waits for it";

    auto scanned = idle;
    scanned.candidates = {network(u"Locked"_s, 80, NetworkSecurity::personal)};
    auto scannedWhileNamed = snapshot(ConnectionState::connected(u"Cafe"_s), u"Cafe"_s);
    scannedWhileNamed.candidates = scanned.candidates;
    const struct {
        WiFiSnapshot snapshot;
        bool locationNeeded;
        const char* titleRule;
        const char* detailRule;
    } cases[] = {
        {scanned, false, "none open", "none open"},
        {scannedWhileNamed, true, "none open", "permission"},
        {snapshot(ConnectionState::captive(u"x"_s), u"x"_s), false, "list unavailable", "portal"},
        {snapshot(ConnectionState::connected(u"Internet"_s)), false, "name hidden", "name not reported"},
        {snapshot(ConnectionState::captive(u"Wi-Fi"_s)), true, "portal", "permission"},
        {idle, false, "nothing found", "waiting"},
    };
    RuleTexts titles, details;
    for (const auto& c : cases) {
        const auto placeholder = NetworkListPlaceholder::make(c.snapshot, false, false, c.locationNeeded, english);
        EXPECT_FALSE(placeholder.isLoading);
        titles.expect(QString::fromLatin1(c.titleRule), placeholder.title, c.titleRule);
        details.expect(QString::fromLatin1(c.detailRule), placeholder.detail, c.detailRule);
    }
}

TEST(SignalQualityTest, LitBarsRoundUpPerQuarterAndNeverLeaveAllDark)
{
    const QList<std::pair<int, int>> bars{{-10, 1}, {0, 1}, {25, 1}, {26, 2}, {75, 3}, {76, 4}, {100, 4}, {250, 4}};
    for (const auto& [quality, lit] : bars)
        EXPECT_EQ(SignalQuality::litBars(quality), lit) << quality;
}

TEST(WorkReadyStatsTest, ScoreTextAndRingStayWithinTheRing)
{
    WorkReadinessAssessment assessment;
    assessment.level = WorkReadinessLevel::good;
    assessment.score = 72;
    EXPECT_EQ(WorkReadyStats::scoreText(assessment, english), u"72 / 100"_s);
    EXPECT_DOUBLE_EQ(WorkReadyStats::scoreFraction(assessment), 0.72);
    assessment.score = 140;
    EXPECT_DOUBLE_EQ(WorkReadyStats::scoreFraction(assessment), 1.0);
    assessment.score = -5;
    EXPECT_DOUBLE_EQ(WorkReadyStats::scoreFraction(assessment), 0.0);
    assessment.score.reset();
    EXPECT_DOUBLE_EQ(WorkReadyStats::scoreFraction(assessment), 0.0);
    const QString pending = WorkReadyStats::scoreText(assessment, english);
    assessment.level = WorkReadinessLevel::checking;
    EXPECT_NE(WorkReadyStats::scoreText(assessment, english), pending) << "a running check says so";
}
