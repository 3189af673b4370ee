#include "services/AppAnalyticsEvent.h"
#include "services/AppVersion.h"
#include "services/PortalAnalytics.h"

#include "testkit/ManualClock.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(AppAnalyticsEventName, RawValuesRoundTripAndUnknownTextsYieldNothing)
{
    for (auto name : allAppAnalyticsEventNames())
        EXPECT_EQ(appAnalyticsEventName(rawValue(name)), name) << rawValue(name).toStdString();
    EXPECT_FALSE(appAnalyticsEventName(u"App_Launch"));
    EXPECT_FALSE(appAnalyticsEventName(u""));
}

TEST(AppAnalyticsEvent, IsStampedInMicrosecondsFromTheClock)
{
    ManualClock clock(QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC));
    const auto event = AppAnalyticsEvent::make(AppAnalyticsEventName::uiAction, {{u"action"_s, u"fill_again"_s}}, clock);
    EXPECT_EQ(event.timestampMicros, 1'700'000'000'123'000);
    EXPECT_EQ(event.parameters.value(u"action"_s), u"fill_again"_s);
}

// Free text from a page: matched whatever its letter case or Unicode composition, earlier rows first.
TEST(PortalAnalytics, BlockerCategoriesFollowTheTableInOrder)
{
    const QList<std::pair<std::optional<QString>, QString>> cases = {
        {std::nullopt, u"none"_s},
        {u""_s, u"none"_s},
        {u"Card number is a required field"_s, u"payment"_s},
        {u"Needs user action: required field"_s, u"unknown_required"_s},
        {u"Nhập MẬT KHẨU"_s, u"credential"_s},
        {u"Mã XÁC THỰC"_s, u"otp"_s},
        {u"mã xác thực"_s.normalized(QString::NormalizationForm_D), u"otp"_s},
        {u"Something odd"_s, u"other"_s},
    };
    for (const auto& [reason, category] : cases)
        EXPECT_EQ(PortalAnalytics::blockerCategory(reason), category) << reason.value_or(u"<none>"_s).toStdString();
}

TEST(AppVersion, UnsetEmptyAndUnexpandedEntriesReadAsUnknown)
{
    EXPECT_EQ(AppVersion::from(BundleInfo({{u"CFBundleShortVersionString"_s, u"1.4.2"_s}, {u"CFBundleVersion"_s, u"57"_s}})),
              (AppVersion{u"1.4.2"_s, u"57"_s}));
    EXPECT_EQ(AppVersion::from(BundleInfo({{u"CFBundleShortVersionString"_s, u""_s},
                                           {u"CFBundleVersion"_s, u"$(CURRENT_PROJECT_VERSION)"_s}})),
              (AppVersion{u"Unknown"_s, u"Unknown"_s}));
    EXPECT_EQ(AppVersion::from(BundleInfo()), (AppVersion{u"Unknown"_s, u"Unknown"_s}));
    // The build fills both in.
    EXPECT_NE(AppVersion::current().marketingVersion, u"Unknown"_s);
    EXPECT_NE(AppVersion::current().buildNumber, u"Unknown"_s);
}
