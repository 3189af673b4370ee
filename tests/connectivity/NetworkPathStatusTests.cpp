#include "connectivity/NetworkManagerPathMonitor.h"
#include "connectivity/NetworkPathStatus.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(NetworkPathStatus, LogValuesAndEquality)
{
    EXPECT_EQ(NetworkPathStatus::satisfied(true, false).logValue(), u"satisfied(expensive: true, constrained: false)"_s);
    EXPECT_EQ(NetworkPathStatus::satisfied(false, true).logValue(), u"satisfied(expensive: false, constrained: true)"_s);
    EXPECT_EQ(NetworkPathStatus::unsatisfied().logValue(), u"unsatisfied"_s);
    EXPECT_EQ(NetworkPathStatus::requiresConnection().logValue(), u"requiresConnection"_s);

    EXPECT_EQ(NetworkPathStatus::satisfied(true, true), NetworkPathStatus::satisfied(true, true));
    EXPECT_NE(NetworkPathStatus::satisfied(true, false), NetworkPathStatus::satisfied(false, false));
    EXPECT_NE(NetworkPathStatus::satisfied(false, false), NetworkPathStatus::unsatisfied());
    EXPECT_NE(NetworkPathStatus::unsatisfied(), NetworkPathStatus::requiresConnection());
    EXPECT_EQ(NetworkPathStatus(), NetworkPathStatus::unsatisfied());
}

TEST(NetworkManagerPathMonitor, MapsManagerStateAndMeteredToPathStatus)
{
    // Connected with a default route (site, global) is usable; metered known or guessed is expensive.
    EXPECT_EQ(NetworkManagerPathMonitor::statusFor(70, 2), NetworkPathStatus::satisfied(false, false));
    EXPECT_EQ(NetworkManagerPathMonitor::statusFor(60, 1), NetworkPathStatus::satisfied(true, false));
    EXPECT_EQ(NetworkManagerPathMonitor::statusFor(60, 3), NetworkPathStatus::satisfied(true, false));
    // Local only has no default route: nothing to probe, no internet to verify.
    EXPECT_EQ(NetworkManagerPathMonitor::statusFor(50, 2), NetworkPathStatus::unsatisfied());
    EXPECT_EQ(NetworkManagerPathMonitor::statusFor(70, 4), NetworkPathStatus::satisfied(false, false));
    EXPECT_EQ(NetworkManagerPathMonitor::statusFor(70, 0), NetworkPathStatus::satisfied(false, false));
    EXPECT_EQ(NetworkManagerPathMonitor::statusFor(40, 1), NetworkPathStatus::requiresConnection());
    for (quint32 state : {0u, 10u, 20u, 30u, 55u, 1000u})
        EXPECT_EQ(NetworkManagerPathMonitor::statusFor(state, 1), NetworkPathStatus::unsatisfied()) << state;
}

TEST(NetworkManagerPathMonitor, ReadsPropertiesOfOneReply)
{
    EXPECT_EQ(NetworkManagerPathMonitor::statusFromProperties({{u"State"_s, 70u}, {u"Metered"_s, 1u}}),
              NetworkPathStatus::satisfied(true, false));
    // Older managers have no Metered property.
    EXPECT_EQ(NetworkManagerPathMonitor::statusFromProperties({{u"State"_s, 70u}}),
              NetworkPathStatus::satisfied(false, false));
    EXPECT_EQ(NetworkManagerPathMonitor::statusFromProperties({{u"Metered"_s, 1u}}), NetworkPathStatus::unsatisfied());
    EXPECT_EQ(NetworkManagerPathMonitor::statusFromProperties({{u"State"_s, u"connected"_s}}),
              NetworkPathStatus::unsatisfied());
}
