#include "support/CancellationToken.h"
#include "testkit/Await.h"
#include "testkit/WiFiPrinters.h"
#include "wifi/TaskRetrySleeper.h"
#include "wifi/WiFiAssociationStatus.h"
#include "wifi/WiFiConnectionRouteOutcome.h"

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

// The texts a failed join shows: the payload reaches the sentence, and a portal without an address
// reads differently from one with.
TEST(WiFiConnectionOutcome, DetailsCarryTheirPayload)
{
    EXPECT_EQ(WiFiConnectionOutcome::weakSignal(u"Far"_s, 12).detail(), u"Signal quality is 12%; retry closer to the access point."_s);
    EXPECT_EQ(WiFiConnectionOutcome::failed(u"Cafe"_s, u"Operation timed out"_s).detail(), u"Operation timed out"_s);
    EXPECT_NE(WiFiConnectionOutcome::captivePortal(u"Cafe"_s, QUrl(u"http://portal.example/"_s)).detail(),
              WiFiConnectionOutcome::captivePortal(u"Cafe"_s, std::nullopt).detail());
    EXPECT_NE(WiFiConnectionOutcome::weakSignal(u"Far"_s, 34), WiFiConnectionOutcome::weakSignal(u"Far"_s, 33));
}

TEST(WiFiConnectionRoute, SelectedCandidateIsTheLastAttempted)
{
    WiFiConnectionRouteOutcome empty{WiFiConnectionOutcome::networkUnavailable(u"No candidate"_s), {}};
    EXPECT_EQ(empty.selectedCandidate(), std::nullopt);
    const auto failed = WiFiConnectionOutcome::failed(u"x"_s, u"m"_s);
    WiFiConnectionRouteOutcome three{failed,
                                     {{0, named(u"A"_s), failed},
                                      {1, named(u"B"_s), WiFiConnectionOutcome::offlineAfterConnect(u"B"_s)},
                                      {2, named(u"C"_s), failed}}};
    EXPECT_EQ(three.selectedCandidate()->ssid, u"C"_s);
}

TEST(TaskRetrySleeper, CancellationEndsASleepEarlyOrSkipsItWithoutError)
{
    CancellationToken token;
    TaskRetrySleeper sleeper(token);
    int finished = 0;
    auto run = [&]() -> QCoro::Task<> {
        co_await sleeper.sleep(3'600'000'000'000); // an hour
        ++finished;
    };
    auto task = run();
    QTimer::singleShot(20, [token]() mutable { token.cancel(); });
    // Without cancellation this would never come true within the wait.
    EXPECT_TRUE(spinUntil([&] { return finished == 1; }, std::chrono::seconds(30)));
    auto again = run();
    EXPECT_EQ(finished, 2) << "an already cancelled sleep does not suspend at all";
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

} // namespace
