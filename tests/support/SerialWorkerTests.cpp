#include "support/SerialWorker.h"
#include "testkit/Await.h"

#include <QThread>
#include <gtest/gtest.h>

TEST(SerialWorkerTests, RunsJobsOffTheCallerThreadAndResumesOnIt)
{
    SerialWorker worker(QStringLiteral("com.tolvek.brewbeacon.test"));
    QThread* caller = QThread::currentThread();
    QThread* ranOn = nullptr;
    bool onWorker = false;
    auto task = [&]() -> QCoro::Task<int> {
        const int value = co_await worker.run([&] {
            ranOn = QThread::currentThread();
            onWorker = worker.isCurrentThread();
            return 42;
        });
        EXPECT_EQ(QThread::currentThread(), caller);
        co_return value;
    };
    EXPECT_EQ(await(task()), 42);
    EXPECT_NE(ranOn, caller);
    EXPECT_TRUE(onWorker);
    EXPECT_EQ(ranOn->objectName(), QStringLiteral("com.tolvek.brewbeacon.test"));
}

TEST(SerialWorkerTests, JobsRunOneAtATimeInSubmissionOrder)
{
    SerialWorker worker(QStringLiteral("serial"));
    QList<int> order;
    std::atomic<int> running{0};
    std::atomic<int> overlaps{0};
    auto job = [&](int index) {
        return worker.run([&, index] {
            if (++running > 1)
                ++overlaps;
            QThread::msleep(5);
            order.append(index);
            --running;
        });
    };
    auto first = job(1);
    auto second = job(2);
    auto third = job(3);
    await(std::move(first));
    await(std::move(second));
    await(std::move(third));
    EXPECT_EQ(order, (QList<int>{1, 2, 3}));
    EXPECT_EQ(overlaps.load(), 0);
}

TEST(SerialWorkerTests, JobCapturesAreReleasedExactlyOnceAndValuesArriveWhole)
{
    struct Reading {
        QList<int> list;
        std::optional<QString> name;
        std::optional<int> number;
    };
    SerialWorker worker(QStringLiteral("serial"));
    auto held = std::make_shared<int>(7);
    const Reading reading = await(worker.run([held] { return Reading{{1, 2}, QStringLiteral("Cafe"), *held}; }));
    EXPECT_EQ(reading.list.size(), 2);
    EXPECT_EQ(reading.name, QStringLiteral("Cafe"));
    EXPECT_EQ(reading.number, 7);
    // A capture destroyed twice would leave the count below one (and the object freed).
    EXPECT_EQ(held.use_count(), 1);
    await(worker.run([held] { (void)held; }));
    EXPECT_EQ(held.use_count(), 1);
}
