#include "support/CancellationToken.h"
#include "testkit/Await.h"
#include "testkit/WiFiPrinters.h"
#include "wifi/TaskRetrySleeper.h"
#include "wifi/WiFiAssociationStatus.h"
#include "wifi/WiFiConnectionRouteOutcome.h"
#include "wifi/WiFiPostAssociationPolicy.h"
#include "wifi/WiFiRetryPolicy.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

PublicNetworkCandidate named(const QString& ssid)
{
    PublicNetworkCandidate candidate;
    candidate.ssid = ssid;
    candidate.security = NetworkSecurity::open;
    return candidate;
}

TEST(WiFiConnectionOutcome, DetailsAndAnalyticsValues)
{
    const QUrl url(u"http://portal.example/"_s);
    struct Row {
        WiFiConnectionOutcome outcome;
        QString analytics;
        QString detail;
    };
    const QList<Row> rows{
        {WiFiConnectionOutcome::connected(u"Cafe"_s), u"connected"_s, u"Internet access looks available."_s},
        {WiFiConnectionOutcome::captivePortal(u"Cafe"_s, url), u"captive_portal"_s, u"Use the Portal Assistant to finish access."_s},
        {WiFiConnectionOutcome::captivePortal(u"Cafe"_s, std::nullopt), u"captive_portal"_s,
         u"Use the Portal Assistant or portal page to finish access."_s},
        {WiFiConnectionOutcome::requiresPassword(u"Home"_s), u"requires_password"_s, u"Enter the Wi-Fi password before connecting."_s},
        {WiFiConnectionOutcome::enterpriseUnsupported(u"Corp"_s), u"enterprise_unsupported"_s,
         u"Enterprise and account-based networks need manual login for now."_s},
        {WiFiConnectionOutcome::weakSignal(u"Far"_s, 12), u"weak_signal"_s, u"Signal quality is 12%; retry closer to the access point."_s},
        {WiFiConnectionOutcome::networkUnavailable(u"No candidate"_s), u"network_unavailable"_s,
         u"The network was not found during the connection attempt."_s},
        {WiFiConnectionOutcome::offlineAfterConnect(u"Cafe"_s), u"offline_after_connect"_s,
         u"The computer joined the Wi-Fi, but the network path is still offline."_s},
        {WiFiConnectionOutcome::failed(u"Cafe"_s, u"Operation timed out"_s), u"failed"_s, u"Operation timed out"_s},
        {WiFiConnectionOutcome::requiresUserApproval(), u"requires_user_approval"_s,
         u"BrewBeacon only connects to open cafe or guest Wi-Fi candidates."_s},
        {WiFiConnectionOutcome::interfaceUnavailable(), u"interface_unavailable"_s,
         u"This computer does not currently expose a controllable Wi-Fi interface."_s},
        {WiFiConnectionOutcome::wifiOff(), u"wifi_off"_s, u"Turn Wi-Fi on, then scan again."_s},
        {WiFiConnectionOutcome::serviceInactive(), u"service_inactive"_s, u"Enable the Wi-Fi device in the network settings."_s},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.outcome.analyticsValue(), row.analytics);
        EXPECT_EQ(row.outcome.detail(), row.detail) << row.analytics.toStdString();
    }
}

TEST(WiFiConnectionOutcome, PayloadsBelongToTheirCases)
{
    const QUrl url(u"http://portal.example/"_s);
    const auto captive = WiFiConnectionOutcome::captivePortal(u"Cafe"_s, url);
    EXPECT_EQ(captive.ssid(), u"Cafe"_s);
    EXPECT_EQ(captive.url(), url);
    EXPECT_EQ(WiFiConnectionOutcome::weakSignal(u"Far"_s, 34).quality(), 34);
    EXPECT_EQ(WiFiConnectionOutcome::failed(u"Cafe"_s, u"x"_s).message(), u"x"_s);
    EXPECT_EQ(WiFiConnectionOutcome::wifiOff().ssid(), std::nullopt);
    EXPECT_EQ(WiFiConnectionOutcome::connected(u"Cafe"_s).quality(), std::nullopt);

    EXPECT_NE(captive, WiFiConnectionOutcome::captivePortal(u"Cafe"_s, std::nullopt));
    EXPECT_NE(WiFiConnectionOutcome::weakSignal(u"Far"_s, 34), WiFiConnectionOutcome::weakSignal(u"Far"_s, 33));
    EXPECT_NE(WiFiConnectionOutcome::connected(u"Cafe"_s), WiFiConnectionOutcome::offlineAfterConnect(u"Cafe"_s));
    EXPECT_EQ(WiFiConnectionOutcome::failed(u"A"_s, u"m"_s), WiFiConnectionOutcome::failed(u"A"_s, u"m"_s));
}

TEST(WiFiAssociationStatus, LogValuesAndRetryability)
{
    EXPECT_EQ(WiFiAssociationStatus::failed(u"timeout"_s).logValue(), u"failed(timeout)"_s);
    EXPECT_EQ(WiFiAssociationStatus::alreadyAssociated().logValue(), u"alreadyAssociated"_s);
    EXPECT_EQ(WiFiAssociationStatus::networkNotFound().logValue(), u"networkNotFound"_s);
    EXPECT_EQ(WiFiAssociationStatus::serviceInactive().logValue(), u"serviceInactive"_s);

    EXPECT_TRUE(WiFiAssociationStatus::networkNotFound().isRetryable());
    EXPECT_TRUE(WiFiAssociationStatus::failed(u"x"_s).isRetryable());
    EXPECT_FALSE(WiFiAssociationStatus::interfaceUnavailable().isRetryable());
    EXPECT_FALSE(WiFiAssociationStatus::wifiOff().isRetryable());
    EXPECT_FALSE(WiFiAssociationStatus::serviceInactive().isRetryable());

    EXPECT_TRUE(WiFiAssociationStatus::associated().isSuccess());
    EXPECT_TRUE(WiFiAssociationStatus::alreadyAssociated().isSuccess());
    EXPECT_FALSE(WiFiAssociationStatus::networkNotFound().isSuccess());
    EXPECT_NE(WiFiAssociationStatus::failed(u"a"_s), WiFiAssociationStatus::failed(u"b"_s));
}

TEST(WiFiConnectionRoute, SelectedCandidateAndAttemptIdentity)
{
    WiFiConnectionRouteOutcome empty{WiFiConnectionOutcome::networkUnavailable(u"No candidate"_s), {}};
    EXPECT_EQ(empty.selectedCandidate(), std::nullopt);

    const auto failed = WiFiConnectionOutcome::failed(u"x"_s, u"m"_s);
    WiFiConnectionRouteOutcome three{failed,
                                     {{0, named(u"A"_s), failed},
                                      {1, named(u"B"_s), WiFiConnectionOutcome::offlineAfterConnect(u"B"_s)},
                                      {2, named(u"C"_s), failed}}};
    EXPECT_EQ(three.selectedCandidate()->ssid, u"C"_s);

    EXPECT_EQ((WiFiConnectionAttempt{0, named(u"Cafe Guest"_s), failed}.id()), u"0-Cafe Guest"_s);
    EXPECT_EQ((WiFiConnectionAttempt{12, named(u"A-B"_s), failed}.id()), u"12-A-B"_s);
}

TEST(WiFiPolicies, InstalledValuesAndFloorOfOne)
{
    EXPECT_EQ(WiFiRetryPolicy().maxAttempts, 3);
    EXPECT_EQ(WiFiRetryPolicy().delayNanoseconds, 700'000'000u);
    EXPECT_EQ(WiFiPostAssociationPolicy().maxPathChecks, 4);
    EXPECT_EQ(WiFiPostAssociationPolicy().delayNanoseconds, 1'000'000'000u);

    EXPECT_EQ((WiFiRetryPolicy{0, 1}.effectiveMaxAttempts()), 1);
    EXPECT_EQ((WiFiRetryPolicy{-3, 1}.effectiveMaxAttempts()), 1);
    EXPECT_EQ((WiFiRetryPolicy{5, 1}.effectiveMaxAttempts()), 5);
    EXPECT_EQ((WiFiPostAssociationPolicy{-1, 1}.effectiveMaxPathChecks()), 1);
    EXPECT_EQ((WiFiPostAssociationPolicy{0, 1}.effectiveMaxPathChecks()), 1);
    EXPECT_EQ((WiFiPostAssociationPolicy{2, 1}.effectiveMaxPathChecks()), 2);
}

TEST(TaskRetrySleeper, SleepsAtLeastTheRequestedTime)
{
    TaskRetrySleeper sleeper;
    QElapsedTimer elapsed;
    elapsed.start();
    await(sleeper.sleep(30'000'000));
    EXPECT_GE(elapsed.elapsed(), 30);
}

TEST(TaskRetrySleeper, CancellationEndsASleepEarlyWithoutError)
{
    CancellationToken token;
    TaskRetrySleeper sleeper(token);
    bool finished = false;
    auto run = [&]() -> QCoro::Task<> {
        co_await sleeper.sleep(3'600'000'000'000); // an hour
        finished = true;
    };
    auto task = run();
    QTimer::singleShot(20, [token]() mutable { token.cancel(); });
    // Without cancellation this would never come true within the wait.
    EXPECT_TRUE(spinUntil([&] { return finished; }, std::chrono::seconds(30)));
}

// An owner cancels its waits as it goes away, when no event loop runs any more (at exit): the waiting
// work must end in the cancel itself, or its coroutine is left suspended for good.
TEST(TaskRetrySleeper, ACancelEndsTheWaitingWorkWithinTheCallOnlyForItsOwnToken)
{
    TaskRetrySleeper sleeper;
    CancellationToken mine;
    CancellationToken other;
    int finished = 0;
    auto run = [&](CancellationToken token) -> QCoro::Task<> {
        co_await sleeper.cancellableSleep(3'600'000'000'000, token); // an hour
        ++finished;
    };
    auto first = run(mine);
    auto second = run(mine);
    auto third = run(other);
    EXPECT_EQ(finished, 0);
    mine.cancel();
    EXPECT_EQ(finished, 2);
    EXPECT_TRUE(first.isReady() && second.isReady());
    EXPECT_FALSE(third.isReady());
    other.cancel();
    EXPECT_EQ(finished, 3);
}

TEST(TaskRetrySleeper, AlreadyCancelledSleepReturnsAtOnce)
{
    CancellationToken token;
    token.cancel();
    TaskRetrySleeper sleeper(token);
    bool finished = false;
    auto run = [&]() -> QCoro::Task<> {
        co_await sleeper.sleep(3'600'000'000'000);
        finished = true;
    };
    auto task = run();
    EXPECT_TRUE(finished); // no suspension at all
}

} // namespace
