#include "ui/MainWindowSizing.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
PublicNetworkCandidate candidate(const QString& ssid, NetworkSecurity security = NetworkSecurity::open)
{
    PublicNetworkCandidate value;
    value.ssid = ssid;
    value.security = security;
    return value;
}
} // namespace

TEST(MainWindowSizingTest, StatusHeightCountsDistinctOpenNames)
{
    EXPECT_EQ(MainWindowSizing::preferredContentSize(MainWindowTab::status, nullptr), QSizeF(980, 674));
    WiFiSnapshot snapshot;
    snapshot.candidates = {candidate(u"A"_s), candidate(u"A"_s), candidate(u"B"_s),
                           candidate(u"Locked"_s, NetworkSecurity::personal)};
    EXPECT_EQ(MainWindowSizing::preferredContentSize(MainWindowTab::status, &snapshot).height(), 610 + 128);
}

TEST(MainWindowSizingTest, FrameStaysInsideTheVisibleAreaWithMargins)
{
    const QRectF screen(0, 0, 1440, 800);
    const auto tall = MainWindowSizing::fittedFrame(QRectF(1000, -50, 980, 1200), screen);
    EXPECT_EQ(tall.height(), 736);
    EXPECT_GE(tall.top(), 32);
    EXPECT_LE(tall.right(), 1440 - 32);
    EXPECT_GE(tall.left(), 32);

    EXPECT_FALSE(MainWindowSizing::differsEnough(QRectF(10, 10, 980, 674), QRectF(10.4, 10, 980, 674.5)));
    EXPECT_TRUE(MainWindowSizing::differsEnough(QRectF(10, 10, 980, 674), QRectF(10, 10, 980, 738)));
}
