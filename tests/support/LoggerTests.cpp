#include "support/LogSinks.h"
#include "support/Logger.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

TEST(Logger, CapturesEveryLevelWithSubsystemAndCategoryAndHidesPrivateValues)
{
    LogCapture capture;
    const Logger logger(QStringLiteral("WiFiScanner"));
    logger.debug("scan %{public}ld", 3);
    logger.error("failed: %{public}s", QStringLiteral("busy"));
    const auto records = capture.records();
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0], (LogRecord{LogLevel::Debug, QStringLiteral("com.tolvek.brewbeacon"), QStringLiteral("WiFiScanner"), QStringLiteral("scan 3")}));
    EXPECT_EQ(records[1].level, LogLevel::Error);
    EXPECT_EQ(capture.messages(QStringLiteral("WiFiScanner")).last(), QStringLiteral("failed: busy"));

    // Private values show only while the reveal switch is on.
    logger.log("ssid=%{private}s", QStringLiteral("Home"));
    Logger::setRevealPrivate(true);
    logger.log("ssid=%{private}s", QStringLiteral("Home"));
    Logger::setRevealPrivate(false);
    EXPECT_EQ(capture.messages(QStringLiteral("WiFiScanner")).mid(2),
              (QStringList{QStringLiteral("ssid=<private>"), QStringLiteral("ssid=Home")}));
}

TEST(Logger, CaptureEndsWithItsScopeAndIsSafeAcrossThreads)
{
    const Logger logger(QStringLiteral("Threads"));
    {
        LogCapture capture;
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&] {
                for (int i = 0; i < 100; ++i)
                    logger.debug("line %{public}ld", i);
            });
        for (auto& thread : threads)
            thread.join();
        EXPECT_EQ(capture.records().size(), 400);
    }
    LogCapture later;
    EXPECT_TRUE(later.records().isEmpty());
}

} // namespace
