#include "state/LocationAuthorizationController.h"
#include "testkit/Await.h"
#include "testkit/SimulatedNetworkManager.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QMap<QString, QString> permissions(const QString& scan, const QString& control)
{
    QMap<QString, QString> map{{u"org.freedesktop.NetworkManager.enable-disable-wifi"_s, u"no"_s}};
    if (!scan.isNull())
        map.insert(u"org.freedesktop.NetworkManager.wifi.scan"_s, scan);
    if (!control.isNull())
        map.insert(u"org.freedesktop.NetworkManager.network-control"_s, control);
    return map;
}

} // namespace

TEST(LocationAuthorizationMappingTests, BothNeededPermissionsDecideAndNoOutweighsAuth)
{
    using S = LocationAuthorizationStatus;
    auto status = [](const QString& scan, const QString& control) {
        return LocationAuthorizationController::statusFromPermissions(permissions(scan, control));
    };
    EXPECT_EQ(status(u"yes"_s, u"yes"_s), S::allowed); // an unrelated "no" does not matter
    EXPECT_EQ(status(u"yes"_s, u"no"_s), S::denied);
    EXPECT_EQ(status(u"auth"_s, u"no"_s), S::denied);
    EXPECT_EQ(status(u"auth"_s, u"yes"_s), S::notDetermined);
    EXPECT_EQ(status(u"yes"_s, u"auth"_s), S::notDetermined);
    EXPECT_EQ(status(u"yes"_s, QString()), S::unknown); // one missing: no verdict
    EXPECT_EQ(status(u"yes"_s, u"maybe"_s), S::unknown);
    EXPECT_EQ(LocationAuthorizationController::statusFromPermissions({}), S::unknown);
}

class LocationAuthorizationControllerTests : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(nm.isRunning()) << nm.errorText().toStdString(); }

    SimulatedNetworkManager nm;
    QList<LocationAuthorizationStatus> reports;
};

TEST_F(LocationAuthorizationControllerTests, ReportsTheFirstReadingAndEveryPermissionChange)
{
    nm.setPermissions(permissions(u"auth"_s, u"yes"_s));
    LocationAuthorizationController controller(nm.connection(), [this](LocationAuthorizationStatus s) { reports << s; });
    EXPECT_EQ(controller.currentStatus(), LocationAuthorizationStatus::unknown);
    controller.start();
    ASSERT_TRUE(spinUntil([&] { return !reports.isEmpty(); }));
    EXPECT_EQ(reports.constLast(), LocationAuthorizationStatus::notDetermined);
    EXPECT_EQ(controller.currentStatus(), LocationAuthorizationStatus::notDetermined);

    nm.setPermissions(permissions(u"yes"_s, u"no"_s));
    ASSERT_TRUE(spinUntil([&] { return reports.constLast() == LocationAuthorizationStatus::denied; }));
    nm.setPermissions(permissions(u"yes"_s, u"yes"_s));
    ASSERT_TRUE(spinUntil([&] { return reports.constLast() == LocationAuthorizationStatus::allowed; }));
    EXPECT_EQ(controller.currentStatus(), LocationAuthorizationStatus::allowed);
}

TEST_F(LocationAuthorizationControllerTests, RequestPromptsThroughAnInteractiveScanOnlyWhenUndecided)
{
    const QString device = nm.addWiFiDevice();
    nm.addEthernetDevice();
    LocationAuthorizationController controller(nm.connection(), [this](LocationAuthorizationStatus s) { reports << s; });

    nm.setPermissions(permissions(u"yes"_s, u"no"_s));
    controller.requestWhenNeeded();
    ASSERT_TRUE(spinUntil([&] { return reports.size() == 1; }));
    EXPECT_EQ(reports.constLast(), LocationAuthorizationStatus::denied);
    EXPECT_TRUE(nm.methodCalls(device, u"RequestScan"_s).isEmpty());

    nm.setPermissions(permissions(u"auth"_s, u"yes"_s));
    controller.requestWhenNeeded();
    ASSERT_TRUE(spinUntil([&] { return reports.size() == 2; }));
    EXPECT_EQ(nm.methodCalls(device, u"RequestScan"_s).size(), 1);
    EXPECT_EQ(reports.constLast(), LocationAuthorizationStatus::notDetermined);
}

TEST(LocationAuthorizationAbsentTests, NoNetworkManagerReadsAsUnknown)
{
    PrivateSystemBus bus;
    ASSERT_TRUE(bus.start()) << bus.errorText().toStdString();
    LocationAuthorizationController controller(bus.connection(), {});
    EXPECT_EQ(await(controller.refresh()), LocationAuthorizationStatus::unknown);
    EXPECT_EQ(controller.currentStatus(), LocationAuthorizationStatus::unknown);
}

TEST_F(LocationAuthorizationControllerTests, AnUnansweredReadingIsTakenAgainWithoutWaitingForASignal)
{
    nm.setPermissions(permissions(u"yes"_s, u"yes"_s));
    // NetworkManager is there but not answering yet, as during a slow start at login.
    nm.setCallFailure(SimulatedNetworkManager::managerPath(), u"org.freedesktop.NetworkManager"_s, u"GetPermissions"_s,
                      u"not ready"_s);
    LocationAuthorizationController controller(nm.connection(), [this](LocationAuthorizationStatus s) { reports << s; });
    controller.setRetryDelay(std::chrono::milliseconds(50));
    controller.start();
    ASSERT_TRUE(spinUntil([&] { return !reports.isEmpty(); }));
    EXPECT_EQ(reports.constFirst(), LocationAuthorizationStatus::unknown);

    // The answer comes late and no permission signal announces it.
    nm.setCallFailure(SimulatedNetworkManager::managerPath(), u"org.freedesktop.NetworkManager"_s, u"GetPermissions"_s, {});
    ASSERT_TRUE(spinUntil([&] { return reports.constLast() == LocationAuthorizationStatus::allowed; }));
    EXPECT_EQ(controller.currentStatus(), LocationAuthorizationStatus::allowed);
}
