#include "state/ConnectedCheckCadence.h"
#include "state/OpenNetworkOfferMemory.h"
#include "state/PortalOpeningMemory.h"
#include "testkit/ManualClock.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// Both connected checks: due at once, then only after their interval unless forced or lacking what they
// refresh; a clock set back never stops them.
TEST(ConnectedCheckCadenceTests, EachCheckWaitsItsIntervalUnlessForcedOrLackingWhatItRefreshes)
{
    using Decide = bool (ConnectedCheckCadence::*)(bool, bool, bool) const;
    using Record = void (ConnectedCheckCadence::*)();
    const struct {
        Decide decide;
        Record record;
        double interval;
    } checks[] = {
        {&ConnectedCheckCadence::shouldProbePortal, &ConnectedCheckCadence::recordPortalProbe, 3.0},
        {&ConnectedCheckCadence::shouldRefreshConnectedWiFiDetails, &ConnectedCheckCadence::recordEnrichmentScan, 10.0},
    };
    for (const auto& check : checks) {
        ManualClock clock;
        ConnectedCheckCadence cadence(clock);
        const auto due = [&](bool force, bool known, bool settled) { return (cadence.*check.decide)(force, known, settled); };
        EXPECT_TRUE(due(false, true, true)) << "never done yet";
        (cadence.*check.record)();
        clock.advance(check.interval - 1.0);
        EXPECT_FALSE(due(false, true, true)) << check.interval;
        EXPECT_TRUE(due(true, true, true));
        EXPECT_TRUE(due(false, false, true));
        EXPECT_TRUE(due(false, true, false));
        clock.advance(1.0);
        EXPECT_TRUE(due(false, true, true)) << check.interval;
        (cadence.*check.record)();
        clock.advance(-3600.0);
        EXPECT_TRUE(due(false, true, true)) << "clock set back";
    }
}

TEST(OpenNetworkOfferMemoryTests, OffersOneSetOnceInAnyOrderUntilItChangesOrIsForgotten)
{
    OpenNetworkOfferMemory memory;
    EXPECT_TRUE(memory.shouldOffer({u"Cafe"_s, u"airport"_s}));
    EXPECT_FALSE(memory.shouldOffer({u"airport"_s, u"Cafe"_s}));
    EXPECT_TRUE(memory.shouldOffer({u"airport"_s, u"Cafe"_s, u"Bistro"_s}));
    EXPECT_TRUE(memory.shouldOffer({u"airport"_s, u"Bistro"_s})) << "a smaller set is a new set";
    memory.forget();
    EXPECT_TRUE(memory.shouldOffer({u"Bistro"_s, u"airport"_s}));

    // Names holding the separator, or differing only in case, are still told apart and ordered alike.
    EXPECT_TRUE(memory.shouldOffer({u"a"_s, u"b"_s}));
    EXPECT_TRUE(memory.shouldOffer({u"a|b"_s}));
    EXPECT_TRUE(memory.shouldOffer({u"cafe"_s, u"Cafe"_s}));
    EXPECT_FALSE(memory.shouldOffer({u"Cafe"_s, u"cafe"_s}));
}

TEST(PortalOpeningMemoryTests, OpensOncePerNetworkAndAddress)
{
    PortalOpeningMemory memory;
    const QUrl portal(u"http://portal.example/login?a=1"_s);
    EXPECT_TRUE(memory.shouldOpen(u"Cafe"_s, portal));
    EXPECT_FALSE(memory.shouldOpen(u"Cafe"_s, portal));
    EXPECT_TRUE(memory.shouldOpen(u"Cafe"_s, QUrl(u"http://portal.example/other"_s)));
    EXPECT_TRUE(memory.shouldOpen(u"Bistro"_s, QUrl(u"http://portal.example/other"_s)));
    memory.forget();
    EXPECT_TRUE(memory.shouldOpen(u"Bistro"_s, QUrl(u"http://portal.example/other"_s)));
}
