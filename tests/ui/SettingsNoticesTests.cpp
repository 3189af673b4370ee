#include "portal/PortalAutofillProfile.h"
#include "ui/SettingsNotices.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QLocale english(QLocale::English);
}

TEST(SettingsNoticesTest, FirstApplicableNoticeWins)
{
    using Kind = ConnectionState::Kind;
    // Location outranks a login item that waits for approval.
    EXPECT_EQ(SettingsNotices::settings(LocationAuthorizationStatus::denied, LaunchAtLoginStatus::requiresApproval, true,
                                        Kind::scanning, u"x"_s, english)
                  ->title,
              u"Setup needs Wi-Fi permission"_s);
    EXPECT_EQ(SettingsNotices::settings(LocationAuthorizationStatus::allowed, LaunchAtLoginStatus::requiresApproval,
                                        true, Kind::scanning, std::nullopt, english)
                  ->title,
              u"Login item needs approval"_s);
    const auto joining = SettingsNotices::settings(LocationAuthorizationStatus::allowed, LaunchAtLoginStatus::enabled,
                                                   true, Kind::scanning, std::nullopt, english);
    EXPECT_TRUE(joining->isLoading);
    EXPECT_EQ(joining->title, u"Joining cafe Wi-Fi"_s);

    // The update issue only shows when nothing above applies.
    EXPECT_EQ(SettingsNotices::settings(LocationAuthorizationStatus::unknown, LaunchAtLoginStatus::enabled, false,
                                        Kind::scanning, u"Feed unreachable"_s, english)
                  ->title,
              u"Reading nearby Wi-Fi"_s);
    const auto update = SettingsNotices::settings(LocationAuthorizationStatus::unknown, LaunchAtLoginStatus::enabled,
                                                  false, Kind::ready, u"Feed unreachable"_s, english);
    EXPECT_EQ(update->detail, u"Feed unreachable"_s);
    EXPECT_EQ(update->tone, StateNotice::Tone::danger);
    EXPECT_FALSE(SettingsNotices::settings(LocationAuthorizationStatus::allowed, LaunchAtLoginStatus::enabled, false,
                                           Kind::connected, std::nullopt, english));
}

TEST(SettingsNoticesTest, FormValuesNoticeFollowsWhetherTheProfileCanAutoSubmit)
{
    // An empty form means generated details on each portal, which is no warning.
    EXPECT_EQ(SettingsNotices::formValues(PortalAutofillProfile::empty(), english)->tone, StateNotice::Tone::muted);
    PortalAutofillProfile partial;
    partial.fullName = u"Linh Tran"_s;
    const auto warning = SettingsNotices::formValues(partial, english);
    ASSERT_TRUE(warning);
    EXPECT_EQ(warning->title, u"Needs required details"_s);
    EXPECT_EQ(warning->tone, StateNotice::Tone::warning);
    EXPECT_FALSE(SettingsNotices::formValues(PortalAutofillProfile::generatedDefault(), english));
}
