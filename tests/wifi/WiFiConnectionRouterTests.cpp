#include "ConnectionFakes.h"
#include "support/LogSinks.h"
#include "testkit/Await.h"
#include "wifi/WiFiConnectionRouter.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

PublicNetworkCandidate network(const QString& ssid, NetworkSecurity security = NetworkSecurity::open)
{
    PublicNetworkCandidate candidate;
    candidate.ssid = ssid;
    candidate.quality = 70;
    candidate.security = security;
    return candidate;
}

struct Route {
    explicit Route(QList<WiFiConnectionOutcome> outcomes) : connector(std::make_shared<FakeConnector>(std::move(outcomes))) {}

    WiFiConnectionRouteOutcome run(QList<PublicNetworkCandidate> candidates, bool allowWeakSignal = false,
                                   bool userApproved = true) const
    {
        WiFiConnectionRouter router(connector);
        return await(router.connect(WiFiConnectionRouteRequest{std::move(candidates), allowWeakSignal, userApproved}));
    }

    std::shared_ptr<FakeConnector> connector;
};

const QUrl portalURL(u"http://portal.example/"_s);

} // namespace

TEST(WiFiConnectionRouter, RefusesUnapprovedAndEmptyRoutesWithoutTryingAnything)
{
    LogCapture logs;
    Route route({WiFiConnectionOutcome::connected(u"A"_s)});
    const auto unapproved = route.run({network(u"A"_s), network(u"B"_s), network(u"C"_s)}, false, false);
    EXPECT_EQ(unapproved.finalOutcome, WiFiConnectionOutcome::requiresUserApproval());
    EXPECT_TRUE(unapproved.attempts.isEmpty());

    const auto empty = route.run({});
    EXPECT_EQ(empty.finalOutcome, WiFiConnectionOutcome::networkUnavailable(u"No candidate"_s));
    EXPECT_TRUE(empty.attempts.isEmpty());
    EXPECT_EQ(route.connector->script.calls, 0);
    EXPECT_EQ(logs.messages(u"WiFiAssistant"_s), (QStringList{u"Connection route rejected: user approval missing"_s,
                                                              u"Connection route rejected: no candidates"_s}));
}

TEST(WiFiConnectionRouter, SkipsPasswordNetworksWithoutTheConnectorAndStopsOnSuccess)
{
    Route route({WiFiConnectionOutcome::connected(u"Open"_s)});
    const auto outcome =
        route.run({network(u"Home"_s, NetworkSecurity::personal), network(u"Open"_s), network(u"Later"_s)}, true);
    ASSERT_EQ(outcome.attempts.size(), 2);
    EXPECT_EQ(outcome.attempts[0].outcome, WiFiConnectionOutcome::requiresPassword(u"Home"_s));
    EXPECT_EQ(outcome.attempts[1].index, 1);
    EXPECT_EQ(outcome.finalOutcome, WiFiConnectionOutcome::connected(u"Open"_s));
    ASSERT_EQ(route.connector->requests.size(), 1);
    EXPECT_EQ(route.connector->requests[0], (WiFiConnectionRequest{network(u"Open"_s), true, true}));
}

TEST(WiFiConnectionRouter, MovesOnAfterAnOfflineJoinAndStopsAtAPortal)
{
    Route route({WiFiConnectionOutcome::offlineAfterConnect(u"A"_s), WiFiConnectionOutcome::captivePortal(u"B"_s, portalURL)});
    const auto outcome = route.run({network(u"A"_s), network(u"B"_s, NetworkSecurity::unknown)});
    EXPECT_EQ(outcome.attempts.size(), 2);
    EXPECT_EQ(outcome.finalOutcome, WiFiConnectionOutcome::captivePortal(u"B"_s, portalURL));
    EXPECT_EQ(outcome.selectedCandidate(), network(u"B"_s, NetworkSecurity::unknown));
}

TEST(WiFiConnectionRouter, RadioOutcomeEndsTheRouteAtTheFirstCandidate)
{
    Route route({WiFiConnectionOutcome::wifiOff(), WiFiConnectionOutcome::connected(u"B"_s)});
    const auto outcome = route.run({network(u"A"_s), network(u"B"_s)});
    EXPECT_EQ(outcome.attempts.size(), 1);
    EXPECT_EQ(outcome.finalOutcome, WiFiConnectionOutcome::wifiOff());
    EXPECT_EQ(route.connector->script.calls, 1);
}

TEST(WiFiConnectionRouter, ExhaustedRouteEndsWithTheLastOutcome)
{
    LogCapture logs;
    Route route({WiFiConnectionOutcome::failed(u"A"_s, u"one"_s), WiFiConnectionOutcome::failed(u"B"_s, u"two"_s),
                 WiFiConnectionOutcome::failed(u"C"_s, u"three"_s)});
    const auto outcome = route.run({network(u"A"_s), network(u"B"_s), network(u"C"_s)});
    EXPECT_EQ(outcome.attempts.size(), 3);
    EXPECT_EQ(outcome.finalOutcome, WiFiConnectionOutcome::failed(u"C"_s, u"three"_s));
    EXPECT_EQ(outcome.attempts[2].index, 2);
    EXPECT_EQ(logs.messages(u"WiFiAssistant"_s).last(), u"Connection route exhausted candidates"_s);
}
