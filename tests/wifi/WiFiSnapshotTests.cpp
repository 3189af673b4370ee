#include "testkit/WiFiPrinters.h"
#include "wifi/NetworkSecurity.h"
#include "wifi/QualityFormatter.h"
#include "wifi/WiFiSnapshot.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

PublicNetworkCandidate candidate(const QString& ssid, int quality, NetworkSecurity security)
{
    PublicNetworkCandidate result;
    result.ssid = ssid;
    result.quality = quality;
    result.detail = candidateDetail(quality, security);
    result.security = security;
    result.rssi = -50;
    result.noise = -90;
    return result;
}

WiFiSnapshot joinedSnapshot()
{
    WiFiSnapshot snapshot;
    snapshot.connectionState = ConnectionState::connected(u"Cafe"_s);
    snapshot.candidates = {candidate(u"Home"_s, 70, NetworkSecurity::personal), candidate(u"Cafe"_s, 60, NetworkSecurity::open)};
    snapshot.bestNetwork = snapshot.candidates.first();
    snapshot.portalState = PortalState::unknown();
    snapshot.currentSSID = u"Cafe"_s;
    snapshot.currentNetwork = candidate(u"Cafe"_s, 60, NetworkSecurity::open);
    snapshot.interfaceDetails = WiFiInterfaceDetails{u"wlan0"_s, u"aa:bb:cc:dd:ee:ff"_s, -50, -90, u"6"_s, 144.0, u"802.11ax"_s, u"DE"_s};
    snapshot.lastUpdated = QDateTime::fromSecsSinceEpoch(1000, Qt::UTC);
    return snapshot;
}

// The words a person reads in the menu and the rows: labels change exactly at their bounds.
TEST(QualityFormatter, LabelsChangeExactlyAtTheirBoundsAndJoinTheSecurityPhrase)
{
    const QList<std::pair<int, QString>> labels{{100, u"Excellent"_s}, {85, u"Excellent"_s}, {84, u"Good"_s}, {65, u"Good"_s},
                                                {64, u"Fair"_s},       {40, u"Fair"_s},      {39, u"Weak"_s}, {-5, u"Weak"_s},
                                                {101, u"Weak"_s}};
    for (const auto& [quality, label] : labels)
        EXPECT_EQ(QualityFormatter::label(quality), label) << quality;
    EXPECT_EQ(candidateDetail(72, NetworkSecurity::open), u"Good open signal"_s);
    EXPECT_EQ(candidateDetail(58, NetworkSecurity::personal), u"Fair, password required"_s);
    EXPECT_EQ(ConnectionState::connected(u"Cafe"_s).title(), u"Connected to Cafe"_s);
    EXPECT_EQ(ConnectionState::captive(u"Cafe"_s).title(), u"Portal needed for Cafe"_s);
}

TEST(WiFiSnapshot, DerivedMembersFollowCandidates)
{
    auto snapshot = joinedSnapshot();
    ASSERT_EQ(snapshot.openCandidates().size(), 1);
    EXPECT_EQ(snapshot.bestOpenCandidate()->ssid, u"Cafe"_s);
    snapshot.portalState = PortalState::detected(QUrl(u"http://portal.example/"_s));
    EXPECT_EQ(snapshot.menuPresentation(),
              (WiFiSnapshotMenuPresentation{u"Connected to Cafe"_s, true, QUrl(u"http://portal.example/"_s), u"Cafe"_s}));

    snapshot.candidates.removeLast();
    EXPECT_FALSE(snapshot.menuPresentation().hasOpenCandidate);
    EXPECT_EQ(snapshot.bestOpenCandidate(), std::nullopt);
    EXPECT_TRUE(snapshot.bestNetwork.has_value());
}

TEST(WiFiSnapshot, PublishesOnlyWhenSomethingVisibleChanged)
{
    const auto previous = joinedSnapshot();

    auto sameSituation = previous;
    sameSituation.lastUpdated = previous.lastUpdated.addSecs(10);
    EXPECT_FALSE(sameSituation.shouldPublishUpdate(previous));
    EXPECT_NE(sameSituation, previous); // equality still sees the time

    // Fields outside the menu summary count too.
    const std::function<void(WiFiSnapshot&)> changes[] = {
        [](WiFiSnapshot& s) { s.portalState = PortalState::online(); },
        [](WiFiSnapshot& s) { std::swap(s.candidates[0], s.candidates[1]); },
        [](WiFiSnapshot& s) { s.candidates.removeLast(); },
        [](WiFiSnapshot& s) { s.currentNetwork->rssi = -70; },
        [](WiFiSnapshot& s) { s.interfaceDetails->transmitRate = 72.0; },
        [](WiFiSnapshot& s) { s.bestNetwork->quality = 71; },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        auto changed = previous;
        changes[i](changed);
        EXPECT_TRUE(changed.shouldPublishUpdate(previous)) << "change " << i;
    }

    // Same title, different failure message: the state differs even though the menu does not.
    auto failedA = previous;
    failedA.connectionState = ConnectionState::failed(u"a"_s);
    auto failedB = previous;
    failedB.connectionState = ConnectionState::failed(u"b"_s);
    EXPECT_EQ(failedA.menuPresentation(), failedB.menuPresentation());
    EXPECT_TRUE(failedB.shouldPublishUpdate(failedA));
}

} // namespace
