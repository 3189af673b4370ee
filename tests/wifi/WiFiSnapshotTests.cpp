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

TEST(NetworkSecurity, RawValuesRoundTripAndAreCaseSensitive)
{
    EXPECT_EQ(networkSecurityFromRawValue(u"Open"_s), NetworkSecurity::open);
    EXPECT_EQ(networkSecurityFromRawValue(u"Password"_s), NetworkSecurity::personal);
    EXPECT_EQ(networkSecurityFromRawValue(u"Enterprise"_s), NetworkSecurity::enterprise);
    EXPECT_EQ(networkSecurityFromRawValue(u"Unknown"_s), NetworkSecurity::unknown);
    EXPECT_EQ(networkSecurityFromRawValue(u"open"_s), std::nullopt);
    EXPECT_EQ(networkSecurityFromRawValue(u"personal"_s), std::nullopt);
    EXPECT_EQ(networkSecurityFromRawValue(QString()), std::nullopt);
}

TEST(QualityFormatter, LabelsChangeExactlyAtTheirBounds)
{
    EXPECT_EQ(QualityFormatter::label(100), u"Excellent"_s);
    EXPECT_EQ(QualityFormatter::label(85), u"Excellent"_s);
    EXPECT_EQ(QualityFormatter::label(84), u"Good"_s);
    EXPECT_EQ(QualityFormatter::label(65), u"Good"_s);
    EXPECT_EQ(QualityFormatter::label(64), u"Fair"_s);
    EXPECT_EQ(QualityFormatter::label(40), u"Fair"_s);
    EXPECT_EQ(QualityFormatter::label(39), u"Weak"_s);
    EXPECT_EQ(QualityFormatter::label(-5), u"Weak"_s);
    EXPECT_EQ(QualityFormatter::label(101), u"Weak"_s);
}

TEST(QualityFormatter, DetailJoinsLabelAndSecurityPhrase)
{
    EXPECT_EQ(candidateDetail(72, NetworkSecurity::open), u"Good open signal"_s);
    EXPECT_EQ(candidateDetail(58, NetworkSecurity::personal), u"Fair, password required"_s);
    EXPECT_EQ(candidateDetail(12, NetworkSecurity::enterprise), u"Weak, account login required"_s);
    EXPECT_EQ(candidateDetail(88, NetworkSecurity::unknown), u"Excellent, security unknown"_s);
}

TEST(ConnectionState, TitlesAnalyticsValuesAndPayloads)
{
    const auto failed = ConnectionState::failed(u"No Wi-Fi interface is available on this computer."_s);
    EXPECT_EQ(failed.title(), u"Needs attention"_s);
    EXPECT_EQ(failed.analyticsValue(), u"failed"_s);
    EXPECT_EQ(failed.message(), u"No Wi-Fi interface is available on this computer."_s);
    EXPECT_EQ(failed.ssid(), std::nullopt);

    EXPECT_EQ(ConnectionState::connected(u"Cafe"_s).title(), u"Connected to Cafe"_s);
    EXPECT_EQ(ConnectionState::captive(u"Cafe"_s).title(), u"Portal needed for Cafe"_s);
    EXPECT_EQ(ConnectionState::captive(u"Cafe"_s).ssid(), u"Cafe"_s);
    EXPECT_EQ(ConnectionState::ready().title(), u"Ready"_s);
    EXPECT_EQ(ConnectionState::scanning().title(), u"Scanning"_s);
    EXPECT_EQ(ConnectionState::offline().title(), u"Offline"_s);

    const QList<ConnectionState> states{ConnectionState::connected(u"x"_s), ConnectionState::captive(u"x"_s), failed,
                                        ConnectionState::ready(), ConnectionState::scanning(), ConnectionState::offline()};
    QStringList values;
    for (const auto& state : states)
        values.append(state.analyticsValue());
    EXPECT_EQ(values, (QStringList{u"connected"_s, u"captive"_s, u"failed"_s, u"ready"_s, u"scanning"_s, u"offline"_s}));
}

TEST(ConnectionState, EqualityComparesCaseAndPayload)
{
    EXPECT_EQ(ConnectionState::connected(u"A"_s), ConnectionState::connected(u"A"_s));
    EXPECT_NE(ConnectionState::connected(u"A"_s), ConnectionState::connected(u"B"_s));
    EXPECT_NE(ConnectionState::connected(u"A"_s), ConnectionState::captive(u"A"_s));
    EXPECT_EQ(ConnectionState(), ConnectionState::scanning());
}

TEST(PortalState, LogValuesURLsAndAnalyticsValues)
{
    const QUrl url(u"http://portal.example/login?next=a%20b"_s);
    EXPECT_EQ(PortalState::detected(url).logValue(), u"detected(http://portal.example/login?next=a%20b)"_s);
    EXPECT_EQ(PortalState::detected(url).portalURL(), url);
    EXPECT_EQ(PortalState::suspected(url).logValue(), u"suspected(http://portal.example/login?next=a%20b)"_s);
    EXPECT_EQ(PortalState::suspected(url).portalURL(), url);
    EXPECT_EQ(PortalState::suspected(std::nullopt).logValue(), u"suspected(no-url)"_s);
    EXPECT_EQ(PortalState::suspected(std::nullopt).portalURL(), std::nullopt);
    EXPECT_EQ(PortalState::unknown().logValue(), u"unknown"_s);
    EXPECT_EQ(PortalState::online().logValue(), u"online"_s);
    EXPECT_EQ(PortalState::unavailable().logValue(), u"unavailable"_s);
    EXPECT_EQ(PortalState::online().portalURL(), std::nullopt);
    EXPECT_EQ(PortalState::detected(url).analyticsValue(), u"detected"_s);
    EXPECT_EQ(PortalState::suspected(std::nullopt).analyticsValue(), u"suspected"_s);
    EXPECT_EQ(PortalState::unavailable().analyticsValue(), u"unavailable"_s);
    EXPECT_NE(PortalState::detected(url), PortalState::detected(QUrl(u"http://other.example/"_s)));
    EXPECT_NE(PortalState::detected(url), PortalState::suspected(url));
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

TEST(WiFiSnapshot, ScanningConstantIsTheInitialPicture)
{
    const auto& initial = WiFiSnapshot::scanning();
    EXPECT_EQ(initial.connectionState, ConnectionState::scanning());
    EXPECT_EQ(initial.portalState, PortalState::unknown());
    EXPECT_TRUE(initial.candidates.isEmpty());
    EXPECT_FALSE(initial.bestNetwork || initial.currentSSID || initial.currentNetwork || initial.interfaceDetails);
    EXPECT_TRUE(initial.lastUpdated.isValid());
    EXPECT_EQ(&initial, &WiFiSnapshot::scanning());
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
