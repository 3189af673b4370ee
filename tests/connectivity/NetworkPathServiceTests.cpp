#include "connectivity/NetworkPathMonitor.h"
#include "connectivity/NetworkPathResumeOnce.h"
#include "connectivity/NetworkPathService.h"
#include "testkit/Await.h"

#include <QCoroTimer>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Reports the scripted readings, each after its own delay (0: synchronously inside start()).
class ScriptedMonitor : public NetworkPathMonitor {
public:
    struct Reading {
        std::chrono::milliseconds after;
        NetworkPathStatus status;
    };
    ScriptedMonitor(QList<Reading> readings, int* cancels) : m_readings(std::move(readings)), m_cancels(cancels) {}

    void start() override
    {
        for (const Reading& reading : m_readings) {
            if (reading.after == 0ms)
                Q_EMIT pathUpdated(reading.status);
            else
                QTimer::singleShot(reading.after, this, [this, reading] {
                    if (!m_cancelled)
                        Q_EMIT pathUpdated(reading.status);
                });
        }
    }
    void cancel() override
    {
        m_cancelled = true;
        if (m_cancels)
            ++*m_cancels;
    }

private:
    QList<Reading> m_readings;
    int* m_cancels;
    bool m_cancelled = false;
};

NetworkPathService serviceWith(QList<ScriptedMonitor::Reading> readings, int* cancels = nullptr,
                               std::chrono::milliseconds timeout = 200ms)
{
    return NetworkPathService([=] { return std::make_unique<ScriptedMonitor>(readings, cancels); }, timeout);
}

} // namespace

TEST(NetworkPathService, FirstReadingIsTheAnswerAndCancelsTheMonitor)
{
    int cancels = 0;
    auto service = serviceWith({{0ms, NetworkPathStatus::satisfied(true, false)},
                                {0ms, NetworkPathStatus::unsatisfied()}},
                               &cancels);
    EXPECT_EQ(await(service.currentStatus()), NetworkPathStatus::satisfied(true, false));
    EXPECT_EQ(cancels, 1);

    // A later, asynchronous second update changes nothing either.
    auto later = serviceWith({{10ms, NetworkPathStatus::requiresConnection()},
                              {20ms, NetworkPathStatus::satisfied(false, false)}},
                             &cancels);
    EXPECT_EQ(await(later.currentStatus()), NetworkPathStatus::requiresConnection());
    EXPECT_EQ(cancels, 2);
}

TEST(NetworkPathService, SilentMonitorTimesOutAsUnsatisfied)
{
    int cancels = 0;
    auto service = serviceWith({}, &cancels, 50ms);
    EXPECT_EQ(await(service.currentStatus()), NetworkPathStatus::unsatisfied());
    EXPECT_EQ(cancels, 1);
    // A reading that would come after the time-out is not waited for.
    auto late = serviceWith({{400ms, NetworkPathStatus::satisfied(false, false)}}, nullptr, 50ms);
    EXPECT_EQ(await(late.currentStatus()), NetworkPathStatus::unsatisfied());
}

TEST(NetworkPathService, OverlappingCallsEachGetTheirOwnReading)
{
    int call = 0;
    NetworkPathService service(
        [&call]() -> std::unique_ptr<NetworkPathMonitor> {
            if (call++ == 0)
                return std::make_unique<ScriptedMonitor>(
                    QList<ScriptedMonitor::Reading>{{40ms, NetworkPathStatus::requiresConnection()}}, nullptr);
            return std::make_unique<ScriptedMonitor>(
                QList<ScriptedMonitor::Reading>{{5ms, NetworkPathStatus::satisfied(false, true)}}, nullptr);
        },
        1s);
    auto both = [&service]() -> QCoro::Task<std::pair<NetworkPathStatus, NetworkPathStatus>> {
        auto first = service.currentStatus();
        auto second = service.currentStatus();
        const NetworkPathStatus secondStatus = co_await second;
        const NetworkPathStatus firstStatus = co_await first;
        co_return std::pair{firstStatus, secondStatus};
    };
    const auto [first, second] = await(both());
    EXPECT_EQ(first, NetworkPathStatus::requiresConnection());
    EXPECT_EQ(second, NetworkPathStatus::satisfied(false, true));
}

TEST(NetworkPathResumeOnce, RacingResumesAnswerExactlyOnce)
{
    int cancels = 0;
    ScriptedMonitor monitor({}, &cancels);
    NetworkPathResumeOnce once(&monitor);
    int answered = 0;
    QObject::connect(&once, &NetworkPathResumeOnce::answered, [&answered] { ++answered; });

    std::atomic<int> winners = 0;
    std::atomic<bool> go = false;
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&, i] {
            while (!go.load())
                std::this_thread::yield();
            if (once.resume(i % 2 ? NetworkPathStatus::unsatisfied() : NetworkPathStatus::satisfied(false, false)))
                ++winners;
        });
    }
    go = true;
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(winners.load(), 1);
    ASSERT_TRUE(spinUntil([&] { return answered > 0 && cancels > 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(once.answer().has_value());
}
