#include "support/LogFormat.h"

#include <gtest/gtest.h>

namespace {

QString fmt(const char* format, const QList<LogArg>& args, bool reveal = false)
{
    return formatLogMessage(QString::fromUtf8(format), args, reveal);
}

TEST(LogFormat, MarkersPrintValuesAndHidePrivateOnes)
{
    EXPECT_EQ(fmt("Joined %{public}s on %{private}s", {"Cafe", "wlan0"}), QStringLiteral("Joined Cafe on <private>"));
    EXPECT_EQ(fmt("Joined %{public}s on %{private}s", {"Cafe", "wlan0"}, true), QStringLiteral("Joined Cafe on wlan0"));
    EXPECT_EQ(fmt("open=%{bool,public}d count=%{public}ld", {true, 42}), QStringLiteral("open=true count=42"));
    EXPECT_EQ(fmt("flag=%{bool,public}d", {0}), QStringLiteral("flag=false"));
    EXPECT_EQ(fmt("100%% done", {}), QStringLiteral("100% done"));
    // Unmarked strings are private, unmarked scalars are not.
    EXPECT_EQ(fmt("%s / %d", {"secret", 7}), QStringLiteral("<private> / 7"));
}

TEST(LogFormat, MalformedFormatsNeverReadPastTheArguments)
{
    EXPECT_EQ(fmt("a=%{public}s b=%{public}s", {"1"}), QStringLiteral("a=1 b=<missing>"));
    EXPECT_EQ(fmt("trailing %", {}), QStringLiteral("trailing %"));
    EXPECT_EQ(fmt("open %{public", {"x"}), QStringLiteral("open %{public"));
}

} // namespace
