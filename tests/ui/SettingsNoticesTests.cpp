#include "portal/PortalAutofillProfile.h"
#include "ui/SettingsNotices.h"

#include "RuleTexts.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {
const QLocale english(QLocale::English);
}

// Location, then a login item awaiting approval, then a running join, then a scan, then an update issue.
TEST(SettingsNoticesTest, FirstApplicableNoticeWins)
{
    using L = LocationAuthorizationStatus;
    using Login = LaunchAtLoginStatus;
    using Kind = ConnectionState::Kind;
    const struct {
        L location;
        Login login;
        bool connecting;
        Kind kind;
        std::optional<QString> updateIssue;
        const char* rule; // nullptr: no notice
    } cases[] = {
        {L::denied, Login::requiresApproval, true, Kind::scanning, u"x"_s, "location"},
        {L::allowed, Login::requiresApproval, true, Kind::scanning, u"x"_s, "login item"},
        {L::allowed, Login::enabled, true, Kind::scanning, u"x"_s, "joining"},
        {L::unknown, Login::enabled, false, Kind::scanning, u"Feed unreachable"_s, "scanning"},
        {L::unknown, Login::enabled, false, Kind::ready, u"Feed unreachable"_s, "update"},
        {L::allowed, Login::enabled, false, Kind::connected, u""_s, nullptr},
        {L::allowed, Login::enabled, false, Kind::connected, std::nullopt, nullptr},
    };
    RuleTexts titles;
    for (const auto& c : cases) {
        const auto notice = SettingsNotices::settings(c.location, c.login, c.connecting, c.kind, c.updateIssue, english);
        ASSERT_EQ(notice.has_value(), c.rule != nullptr) << (c.rule ? c.rule : "none");
        if (notice)
            titles.expect(QString::fromLatin1(c.rule), notice->title, c.rule);
    }
    const auto joining = SettingsNotices::settings(L::allowed, Login::enabled, true, Kind::ready, {}, english);
    EXPECT_TRUE(joining->isLoading);
    const auto update = SettingsNotices::settings(L::allowed, Login::enabled, false, Kind::ready, u"Feed unreachable"_s, english);
    EXPECT_EQ(update->detail, u"Feed unreachable"_s) << "the updater's own message is shown";
    EXPECT_EQ(update->tone, StateNotice::Tone::danger);
}

TEST(SettingsNoticesTest, FormValuesNoticeFollowsWhetherTheProfileCanAutoSubmit)
{
    // An empty form means generated details on each portal, which is no warning.
    EXPECT_EQ(SettingsNotices::formValues(PortalAutofillProfile::empty(), english)->tone, StateNotice::Tone::muted);
    PortalAutofillProfile partial;
    partial.fullName = u"Linh Tran"_s;
    EXPECT_EQ(SettingsNotices::formValues(partial, english)->tone, StateNotice::Tone::warning);
    EXPECT_FALSE(SettingsNotices::formValues(PortalAutofillProfile::generatedDefault(), english));
}
