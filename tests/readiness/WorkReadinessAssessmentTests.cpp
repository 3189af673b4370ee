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
        {65, std::nullopt, plainPath, 77, WorkReadinessLevel::okay, {}},
        {64, std::nullopt, plainPath, 60, WorkReadinessLevel::poor, {u"Fair signal quality"_s}},
        {45, std::nullopt, plainPath, 60, WorkReadinessLevel::poor, {u"Fair signal quality"_s}},
        {44, std::nullopt, plainPath, 46, WorkReadinessLevel::poor, {u"Weak signal quality"_s}},
        {82, 150, plainPath, 90, WorkReadinessLevel::good, {}},
        {82, 149.9, plainPath, 86, WorkReadinessLevel::good, {}},
        {82, 49.9, plainPath, 78, WorkReadinessLevel::okay, {u"Limited Wi-Fi rate"_s}},
        {82, 19.9, plainPath, 68, WorkReadinessLevel::okay, {u"Very low Wi-Fi rate"_s}},
        // Level bounds: 62 is okay, 61 is poor.
        {70, 20, NetworkPathStatus::satisfied(false, false), 69, WorkReadinessLevel::okay, {u"Limited Wi-Fi rate"_s}},
        {70, 10, std::nullopt, 59, WorkReadinessLevel::poor, {u"Very low Wi-Fi rate"_s}},
        {90, 300, NetworkPathStatus::satisfied(false, true), 76, WorkReadinessLevel::okay, {u"Low Data Mode"_s}},
        {70, 100, NetworkPathStatus::satisfied(true, true), 53, WorkReadinessLevel::poor,
         {u"Metered or hotspot-like path"_s, u"Low Data Mode"_s}},
        // Only a satisfied path's flags count; no reading yet changes nothing.
        {90, 300, NetworkPathStatus::unsatisfied(), 90, WorkReadinessLevel::good, {}},
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

// A running check comes first, then a portal (whatever the connection state says), then the state itself.
TEST(WorkReadinessAssessment, CheckingAndPortalComeBeforeTheConnectionState)
{
    auto suspected = joined(95, 300);
    suspected.portalState = PortalState::suspected(std::nullopt);
    auto detectedWhileFailed = snapshot(ConnectionState::failed(u"x"_s));
    detectedWhileFailed.portalState = PortalState::detected(QUrl(u"http://portal.example/"_s));
    const QString failure = u"No Wi-Fi interface is available on this computer."_s;
    const auto candidates = QList{network(u"Office"_s, 90, NetworkSecurity::personal), network(u"Bean Guest"_s, 70),
                                  network(u"Other Cafe"_s, 60)};
    const struct {
        const char* label;
        WiFiSnapshot snapshot;
        bool checking;
        WorkReadinessLevel level;
        std::optional<int> score;
        QStringList factors;
    } cases[] = {
        {"scanning", snapshot(ConnectionState::scanning()), false, WorkReadinessLevel::checking, {}, {}},
        {"ready while checking", snapshot(ConnectionState::ready()), true, WorkReadinessLevel::checking, {}, {}},
        {"portal while checking", suspected, true, WorkReadinessLevel::checking, {}, {}},
        {"portal", suspected, false, WorkReadinessLevel::blocked, 15, {u"Captive portal not cleared"_s}},
        {"portal while failed", detectedWhileFailed, false, WorkReadinessLevel::blocked, 15, {u"Captive portal not cleared"_s}},
        {"captive", snapshot(ConnectionState::captive(u"Cafe"_s)), false, WorkReadinessLevel::blocked, 15,
         {u"Captive portal not cleared"_s}},
        {"failed", snapshot(ConnectionState::failed(failure)), false, WorkReadinessLevel::blocked, 0, {failure}},
        {"offline", snapshot(ConnectionState::offline()), false, WorkReadinessLevel::blocked, 0, {u"No verified internet path"_s}},
        {"nothing open", snapshot(ConnectionState::ready(), {network(u"Office"_s, 90, NetworkSecurity::enterprise)}), false,
         WorkReadinessLevel::blocked, {}, {u"No open cafe or guest candidate"_s}},
        {"ready to test", snapshot(ConnectionState::ready(), candidates), false, WorkReadinessLevel::poor, {},
         {u"Not connected to the candidate yet"_s}},
    };
    for (const auto& c : cases) {
        const auto result = WorkReadinessAssessment::make(c.snapshot, plainPath, c.checking);
        EXPECT_EQ(result.level, c.level) << c.label;
        EXPECT_EQ(result.score, c.score) << c.label;
        EXPECT_EQ(result.limitingFactors, c.factors) << c.label;
    }
    // The failure's message and the first open candidate's name are what the user reads.
    EXPECT_EQ(WorkReadinessAssessment::make(snapshot(ConnectionState::failed(failure)), plainPath, false).detail, failure);
    EXPECT_TRUE(WorkReadinessAssessment::make(snapshot(ConnectionState::ready(), candidates), plainPath, false)
                    .detail.startsWith(u"Bean Guest "_s));
}

} // namespace
