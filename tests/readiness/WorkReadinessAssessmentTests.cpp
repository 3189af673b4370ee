#include "readiness/WorkReadinessAssessment.h"
#include "wifi/WiFiSnapshot.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

PublicNetworkCandidate network(const QString& ssid, int quality, NetworkSecurity security = NetworkSecurity::open,
                               std::optional<double> transmitRate = std::nullopt)
{
    PublicNetworkCandidate candidate;
    candidate.ssid = ssid;
    candidate.quality = quality;
    candidate.security = security;
    candidate.transmitRate = transmitRate;
    return candidate;
}

WiFiSnapshot snapshot(ConnectionState state, QList<PublicNetworkCandidate> candidates = {},
                      std::optional<PublicNetworkCandidate> current = std::nullopt,
                      std::optional<double> interfaceRate = std::nullopt)
{
    WiFiSnapshot s;
    s.connectionState = std::move(state);
    s.candidates = std::move(candidates);
    if (!s.candidates.isEmpty())
        s.bestNetwork = s.candidates.first();
    s.portalState = PortalState::online();
    s.currentNetwork = std::move(current);
    if (interfaceRate) {
        s.interfaceDetails = WiFiInterfaceDetails{};
        s.interfaceDetails->transmitRate = interfaceRate;
    }
    return s;
}

WiFiSnapshot joined(int quality, std::optional<double> rate)
{
    return snapshot(ConnectionState::connected(u"Cafe"_s), {}, network(u"Cafe"_s, quality, NetworkSecurity::open, rate));
}

const auto plainPath = std::optional(NetworkPathStatus::satisfied(false, false));

struct Scored {
    int quality;
    std::optional<double> rate;
    std::optional<NetworkPathStatus> path;
    int score;
    WorkReadinessLevel level;
    QStringList factors;
};

TEST(WorkReadinessAssessment, ConnectedScoreAddsSignalRateAndPathInOrder)
{
    const QList<Scored> cases = {
        {90, 300, plainPath, 90, WorkReadinessLevel::good, {}},
        {70, 30, plainPath, 69, WorkReadinessLevel::okay, {u"Limited Wi-Fi rate"_s}},
        {82, 100, NetworkPathStatus::satisfied(true, false), 76, WorkReadinessLevel::okay,
         {u"Metered or hotspot-like path"_s}},
        {40, 10, NetworkPathStatus::satisfied(true, true), 4, WorkReadinessLevel::poor,
         {u"Weak signal quality"_s, u"Very low Wi-Fi rate"_s, u"Metered or hotspot-like path"_s, u"Low Data Mode"_s}},
        {81, std::nullopt, plainPath, 77, WorkReadinessLevel::okay, {}},
        {65, std::nullopt, plainPath, 77, WorkReadinessLevel::okay, {}},
        {64, std::nullopt, plainPath, 60, WorkReadinessLevel::poor, {u"Fair signal quality"_s}},
        {45, std::nullopt, plainPath, 60, WorkReadinessLevel::poor, {u"Fair signal quality"_s}},
        {44, std::nullopt, plainPath, 46, WorkReadinessLevel::poor, {u"Weak signal quality"_s}},
        {82, 150, plainPath, 90, WorkReadinessLevel::good, {}},
        {82, 149.9, plainPath, 86, WorkReadinessLevel::good, {}},
        {82, 50, plainPath, 86, WorkReadinessLevel::good, {}},
        {82, 49.9, plainPath, 78, WorkReadinessLevel::okay, {u"Limited Wi-Fi rate"_s}},
        {82, 20, plainPath, 78, WorkReadinessLevel::okay, {u"Limited Wi-Fi rate"_s}},
        {82, 19.9, plainPath, 68, WorkReadinessLevel::okay, {u"Very low Wi-Fi rate"_s}},
        // Level bounds: 62 is okay, 61 is poor.
        {70, 20, NetworkPathStatus::satisfied(false, false), 69, WorkReadinessLevel::okay, {u"Limited Wi-Fi rate"_s}},
        {90, 10, NetworkPathStatus::satisfied(false, false), 68, WorkReadinessLevel::okay, {u"Very low Wi-Fi rate"_s}},
        {70, 10, std::nullopt, 59, WorkReadinessLevel::poor, {u"Very low Wi-Fi rate"_s}},
        {90, 300, NetworkPathStatus::satisfied(false, true), 76, WorkReadinessLevel::okay, {u"Low Data Mode"_s}},
        {60, 300, NetworkPathStatus::satisfied(false, false), 64, WorkReadinessLevel::okay, {u"Fair signal quality"_s}},
        {70, 100, NetworkPathStatus::satisfied(false, true), 63, WorkReadinessLevel::okay, {u"Low Data Mode"_s}},
        {70, 100, NetworkPathStatus::satisfied(true, true), 53, WorkReadinessLevel::poor,
         {u"Metered or hotspot-like path"_s, u"Low Data Mode"_s}},
        // Only a satisfied path's flags count; no reading yet changes nothing.
        {90, 300, NetworkPathStatus::unsatisfied(), 90, WorkReadinessLevel::good, {}},
        {90, 300, NetworkPathStatus::requiresConnection(), 90, WorkReadinessLevel::good, {}},
        {90, 300, std::nullopt, 90, WorkReadinessLevel::good, {}},
    };
    for (const Scored& c : cases) {
        const auto result = WorkReadinessAssessment::make(joined(c.quality, c.rate), c.path, false);
        const std::string label = "quality " + std::to_string(c.quality) + ", rate " + std::to_string(c.rate.value_or(-1));
        EXPECT_EQ(result.score, c.score) << label;
        EXPECT_EQ(result.level, c.level) << label;
        EXPECT_EQ(result.limitingFactors, c.factors) << label;
    }
}

TEST(WorkReadinessAssessment, LevelTextsMatchTheVerdict)
{
    const auto good = WorkReadinessAssessment::make(joined(90, 300), plainPath, false);
    EXPECT_EQ(good, (WorkReadinessAssessment{
                        WorkReadinessLevel::good, 90, u"Work ready"_s,
                        u"Internet is verified and the current Wi-Fi looks strong enough for everyday work."_s,
                        u"Good for browsing, email, meetings, and moderate uploads."_s,
                        {u"Browsing"_s, u"Email"_s, u"Video calls"_s, u"Uploads"_s}, {}}));
    const auto okay = WorkReadinessAssessment::make(joined(70, 30), plainPath, false);
    EXPECT_EQ(okay.title, u"Mostly work ready"_s);
    EXPECT_EQ(okay.capabilities, (QStringList{u"Browsing"_s, u"Email"_s, u"Light calls"_s}));
    const auto poor = WorkReadinessAssessment::make(joined(40, 10), plainPath, false);
    EXPECT_EQ(poor.title, u"Poor for work"_s);
    EXPECT_EQ(poor.recommendation, u"Try another cafe Wi-Fi candidate or use a personal hotspot."_s);
    EXPECT_EQ(poor.capabilities, QStringList{u"Basic browsing"_s});
}

TEST(WorkReadinessAssessment, JudgedNetworkAndRateFallBackInOrder)
{
    const auto secured = network(u"Office"_s, 95, NetworkSecurity::personal, 300);
    const auto open = network(u"Cafe"_s, 50, NetworkSecurity::open, 300);
    // Without a current network the first open candidate is judged, not the best one overall.
    auto viaCandidate = snapshot(ConnectionState::connected(u"Cafe"_s), {secured, open});
    EXPECT_EQ(WorkReadinessAssessment::make(viaCandidate, plainPath, false).score, 64);

    // Nothing to judge: hidden details, and the interface's rate is used.
    auto hidden = snapshot(ConnectionState::connected(u"Cafe"_s), {secured}, std::nullopt, 10);
    const auto hiddenResult = WorkReadinessAssessment::make(hidden, plainPath, false);
    EXPECT_EQ(hiddenResult.score, 54);
    EXPECT_EQ(hiddenResult.limitingFactors, (QStringList{u"Wi-Fi signal details hidden"_s, u"Very low Wi-Fi rate"_s}));
    hidden.interfaceDetails.reset();
    EXPECT_EQ(WorkReadinessAssessment::make(hidden, plainPath, false).score, 72);
    EXPECT_EQ(WorkReadinessAssessment::make(hidden, plainPath, false).level, WorkReadinessLevel::okay);

    // A network without a rate falls back to the interface's; one with a rate of 0 does not.
    auto noOwnRate = snapshot(ConnectionState::connected(u"Cafe"_s), {}, network(u"Cafe"_s, 90), 10);
    EXPECT_EQ(WorkReadinessAssessment::make(noOwnRate, plainPath, false).score, 68);
    auto zeroRate = snapshot(ConnectionState::connected(u"Cafe"_s), {}, network(u"Cafe"_s, 90, NetworkSecurity::open, 0), 10);
    EXPECT_EQ(WorkReadinessAssessment::make(zeroRate, plainPath, false).score, 86);
    auto negativeInterfaceRate = snapshot(ConnectionState::connected(u"Cafe"_s), {}, network(u"Cafe"_s, 90), -5);
    EXPECT_EQ(WorkReadinessAssessment::make(negativeInterfaceRate, plainPath, false).score, 86);
}

TEST(WorkReadinessAssessment, CheckingAndPortalComeBeforeTheConnectionState)
{
    const auto checkingResult = WorkReadinessAssessment::make(snapshot(ConnectionState::scanning()), plainPath, false);
    EXPECT_EQ(checkingResult, (WorkReadinessAssessment{
                                  WorkReadinessLevel::checking, std::nullopt, u"Checking work readiness"_s,
                                  u"BrewBeacon is verifying the current path before scoring it."_s,
                                  u"Keep this window open for the latest result."_s,
                                  {u"Internet check"_s, u"Portal check"_s, u"Signal check"_s}, {}}));
    EXPECT_EQ(WorkReadinessAssessment::make(snapshot(ConnectionState::ready()), plainPath, true), checkingResult);

    auto suspected = joined(95, 300);
    suspected.portalState = PortalState::suspected(std::nullopt);
    const auto portal = WorkReadinessAssessment::make(suspected, plainPath, false);
    EXPECT_EQ(portal, (WorkReadinessAssessment{
                          WorkReadinessLevel::blocked, 15, u"Portal blocks work"_s,
                          u"The Wi-Fi is visible, but internet access still needs a portal step."_s,
                          u"Open Portal Assistant and complete any required venue step."_s,
                          {u"Portal page"_s, u"Local network"_s}, {u"Captive portal not cleared"_s}}));
    auto detectedWhileFailed = snapshot(ConnectionState::failed(u"x"_s));
    detectedWhileFailed.portalState = PortalState::detected(QUrl(u"http://portal.example/"_s));
    EXPECT_EQ(WorkReadinessAssessment::make(detectedWhileFailed, std::nullopt, false), portal);
    EXPECT_EQ(WorkReadinessAssessment::make(snapshot(ConnectionState::captive(u"Cafe"_s)), std::nullopt, false), portal);
    // A portal seen during a check still shows the check.
    EXPECT_EQ(WorkReadinessAssessment::make(suspected, plainPath, true).level, WorkReadinessLevel::checking);
}

TEST(WorkReadinessAssessment, FixedVerdictsForFailedReadyAndOffline)
{
    const QString message = u"No Wi-Fi interface is available on this computer."_s;
    EXPECT_EQ(WorkReadinessAssessment::make(snapshot(ConnectionState::failed(message)), plainPath, false),
              (WorkReadinessAssessment{WorkReadinessLevel::blocked, 0, u"Needs attention"_s, message,
                                       u"Fix the reported issue, then run another check."_s, {u"Diagnostics"_s}, {message}}));

    const auto none = WorkReadinessAssessment::make(
        snapshot(ConnectionState::ready(), {network(u"Office"_s, 90, NetworkSecurity::enterprise)}), plainPath, false);
    EXPECT_EQ(none, (WorkReadinessAssessment{WorkReadinessLevel::blocked, std::nullopt, u"No cafe Wi-Fi to score"_s,
                                             u"BrewBeacon has not found a usable cafe or guest candidate."_s,
                                             u"Move closer to the access point or refresh the scan."_s,
                                             {u"Wi-Fi scanning"_s}, {u"No open cafe or guest candidate"_s}}));

    const auto candidates = QList{network(u"Office"_s, 90, NetworkSecurity::personal), network(u"Bean Guest"_s, 70),
                                  network(u"Other Cafe"_s, 60)};
    const auto toTest = WorkReadinessAssessment::make(snapshot(ConnectionState::ready(), candidates), plainPath, false);
    EXPECT_EQ(toTest, (WorkReadinessAssessment{
                          WorkReadinessLevel::poor, std::nullopt, u"Ready to test"_s,
                          u"Bean Guest looks usable, but internet has not been verified on it yet."_s,
                          u"Join the best cafe candidate to measure whether it is work ready."_s,
                          {u"Candidate ranking"_s, u"Portal check after join"_s},
                          {u"Not connected to the candidate yet"_s}}));

    EXPECT_EQ(WorkReadinessAssessment::make(snapshot(ConnectionState::offline()), std::nullopt, false),
              (WorkReadinessAssessment{WorkReadinessLevel::blocked, 0, u"Not work ready"_s,
                                       u"This computer does not have verified internet access yet."_s,
                                       u"Try the ranked cafe Wi-Fi list or open the portal if one appears."_s,
                                       {u"Local Wi-Fi only"_s}, {u"No verified internet path"_s}}));
}

} // namespace
