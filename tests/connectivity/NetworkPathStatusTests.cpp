#include "connectivity/NetworkManagerPathMonitor.h"
#include "connectivity/NetworkPathStatus.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(NetworkManagerPathMonitor, MapsManagerStateAndMeteredToPathStatus)
{
    // Connected with a default route (site 60, global 70) is usable; metered known (1) or guessed (3) is
    // expensive. Local only (50) has no default route: nothing to probe, no internet to verify.
    const struct {
        quint32 state, metered;
        NetworkPathStatus status;
    } cases[] = {
        {70, 2, NetworkPathStatus::satisfied(false, false)}, {60, 1, NetworkPathStatus::satisfied(true, false)},
        {60, 3, NetworkPathStatus::satisfied(true, false)},  {70, 4, NetworkPathStatus::satisfied(false, false)},
        {70, 0, NetworkPathStatus::satisfied(false, false)}, {40, 1, NetworkPathStatus::requiresConnection()},
        {50, 2, NetworkPathStatus::unsatisfied()},           {0, 1, NetworkPathStatus::unsatisfied()},
        {55, 1, NetworkPathStatus::unsatisfied()},           {1000, 1, NetworkPathStatus::unsatisfied()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NetworkManagerPathMonitor::statusFor(c.state, c.metered), c.status) << c.state << "/" << c.metered;
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
