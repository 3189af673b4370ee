#include "testkit/WiFiPrinters.h"
#include "wifi/NetworkSecurity.h"
#include "wifi/QualityFormatter.h"
#include "wifi/WiFiSnapshot.h"

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

    auto portalOnline = previous;
    portalOnline.portalState = PortalState::online();
    EXPECT_TRUE(portalOnline.shouldPublishUpdate(previous));

    // Fields outside the menu summary count too.
    auto reordered = previous;
    std::swap(reordered.candidates[0], reordered.candidates[1]);
    EXPECT_TRUE(reordered.shouldPublishUpdate(previous));

    auto fewer = previous;
    fewer.candidates.removeLast();
    EXPECT_TRUE(fewer.shouldPublishUpdate(previous));

    auto weaker = previous;
    weaker.currentNetwork->rssi = -70;
    EXPECT_TRUE(weaker.shouldPublishUpdate(previous));

    auto newRate = previous;
    newRate.interfaceDetails->transmitRate = 72.0;
    EXPECT_TRUE(newRate.shouldPublishUpdate(previous));

    auto otherBest = previous;
    otherBest.bestNetwork->quality = 71;
    EXPECT_TRUE(otherBest.shouldPublishUpdate(previous));

    // Same title, different failure message: the state differs even though the menu does not.
    auto failedA = previous;
    failedA.connectionState = ConnectionState::failed(u"a"_s);
    auto failedB = previous;
    failedB.connectionState = ConnectionState::failed(u"b"_s);
    EXPECT_EQ(failedA.menuPresentation(), failedB.menuPresentation());
    EXPECT_TRUE(failedB.shouldPublishUpdate(failedA));
}

} // namespace
