#include "state/ConnectedCheckCadence.h"
#include "state/OpenNetworkOfferMemory.h"
#include "state/PortalOpeningMemory.h"
#include "testkit/ManualClock.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(ConnectedCheckCadenceTests, ProbesWhileOnlineOnlyOnceThreeSecondsHavePassed)
{
    ManualClock clock;
    ConnectedCheckCadence cadence(clock);
    EXPECT_TRUE(cadence.shouldProbePortal(false, true, true)); // never probed yet
    cadence.recordPortalProbe();

    clock.advance(2.0);
    EXPECT_FALSE(cadence.shouldProbePortal(false, true, true));
    EXPECT_TRUE(cadence.shouldProbePortal(true, true, true));   // manual refresh
    EXPECT_TRUE(cadence.shouldProbePortal(false, false, true)); // no snapshot of this network yet
    EXPECT_TRUE(cadence.shouldProbePortal(false, true, false)); // portal was not online
    clock.advance(1.0);
    EXPECT_TRUE(cadence.shouldProbePortal(false, true, true));
}

TEST(ConnectedCheckCadenceTests, EnrichesOnlyOnceTenSecondsHavePassedAndDetailsAreKnown)
{
    ManualClock clock;
    ConnectedCheckCadence cadence(clock);
    EXPECT_TRUE(cadence.shouldRefreshConnectedWiFiDetails(false, true, true));
    cadence.recordEnrichmentScan();

    clock.advance(9.0);
    EXPECT_FALSE(cadence.shouldRefreshConnectedWiFiDetails(false, true, true));
    EXPECT_TRUE(cadence.shouldRefreshConnectedWiFiDetails(true, true, true));
    EXPECT_TRUE(cadence.shouldRefreshConnectedWiFiDetails(false, false, true));
    EXPECT_TRUE(cadence.shouldRefreshConnectedWiFiDetails(false, true, false));
    clock.advance(1.0);
    EXPECT_TRUE(cadence.shouldRefreshConnectedWiFiDetails(false, true, true));
}

TEST(ConnectedCheckCadenceTests, AClockSetBackDoesNotStopProbing)
{
    ManualClock clock;
    ConnectedCheckCadence cadence(clock);
    cadence.recordPortalProbe();
    cadence.recordEnrichmentScan();
    clock.advance(-3600.0);
    EXPECT_TRUE(cadence.shouldProbePortal(false, true, true));
    EXPECT_TRUE(cadence.shouldRefreshConnectedWiFiDetails(false, true, true));
}

TEST(OpenNetworkOfferMemoryTests, OffersOneSetOnceInAnyOrderUntilItChangesOrIsForgotten)
{
    OpenNetworkOfferMemory memory;
    EXPECT_TRUE(memory.shouldOffer({u"Cafe"_s, u"airport"_s}));
    EXPECT_EQ(memory.lastPresentedOpenNetworkSignature(), u"airport|Cafe"_s);
    EXPECT_FALSE(memory.shouldOffer({u"airport"_s, u"Cafe"_s}));
    EXPECT_TRUE(memory.shouldOffer({u"airport"_s, u"Cafe"_s, u"Bistro"_s}));
    EXPECT_EQ(memory.lastPresentedOpenNetworkSignature(), u"airport|Bistro|Cafe"_s);

    memory.forget();
    EXPECT_TRUE(memory.shouldOffer({u"Bistro"_s, u"Cafe"_s, u"airport"_s}));
}

TEST(PortalOpeningMemoryTests, OpensOncePerNetworkAndAddress)
{
    PortalOpeningMemory memory;
    const QUrl portal(u"http://portal.example/login?a=1"_s);
    EXPECT_TRUE(memory.shouldOpen(u"Cafe"_s, portal));
    EXPECT_EQ(memory.lastOpenedPortalSignature(), u"Cafe|http://portal.example/login?a=1"_s);
    EXPECT_FALSE(memory.shouldOpen(u"Cafe"_s, portal));
    EXPECT_TRUE(memory.shouldOpen(u"Cafe"_s, QUrl(u"http://portal.example/other"_s)));
    EXPECT_TRUE(memory.shouldOpen(u"Bistro"_s, QUrl(u"http://portal.example/other"_s)));

    memory.forget();
    EXPECT_TRUE(memory.shouldOpen(u"Bistro"_s, QUrl(u"http://portal.example/other"_s)));
}
