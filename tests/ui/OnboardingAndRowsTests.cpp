#include "ui/OnboardingPresentation.h"
#include "ui/PublicNetworkRankRow.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(OnboardingPresentationTest, GateOffEnablesContinueWhateverTheStatus)
{
    for (auto status : {LocationAuthorizationStatus::denied, LocationAuthorizationStatus::notDetermined,
                        LocationAuthorizationStatus::disabled}) {
        const auto value = OnboardingPresentation::make(status, false);
        EXPECT_TRUE(value.isContinueEnabled);
        EXPECT_EQ(value.rowSystemImage, u"checkmark.circle.fill"_s);
        EXPECT_EQ(value.buttonSystemImage, u"checkmark"_s);
    }
}

TEST(OnboardingPresentationTest, GateOnButtonFollowsTheStatus)
{
    const auto denied = OnboardingPresentation::make(LocationAuthorizationStatus::denied, true);
    EXPECT_EQ(denied.buttonTitle, u"Open Settings"_s);
    EXPECT_EQ(denied.buttonAction, OnboardingPresentation::Action::openSettings);
    EXPECT_FALSE(denied.isContinueEnabled);
    EXPECT_EQ(denied.buttonSystemImage, u"location.fill"_s);

    const auto undecided = OnboardingPresentation::make(LocationAuthorizationStatus::unknown, true);
    EXPECT_EQ(undecided.buttonTitle, u"Allow"_s);
    EXPECT_EQ(undecided.buttonAction, OnboardingPresentation::Action::requestPermission);

    const auto allowed = OnboardingPresentation::make(LocationAuthorizationStatus::allowed, true);
    EXPECT_TRUE(allowed.isContinueEnabled);
    EXPECT_EQ(allowed.buttonAction, OnboardingPresentation::Action::none);
    EXPECT_EQ(OnboardingPresentation::make(LocationAuthorizationStatus::restricted, true).detail,
              u"Restricted by macOS policy."_s);
}

TEST(PublicNetworkRankRowTest, RanksAndFlags)
{
    PublicNetworkCandidate cafe;
    cafe.ssid = u"Cafe"_s;
    PublicNetworkCandidate lobby;
    lobby.ssid = u"Lobby"_s;

    const auto rows = PublicNetworkRankRow::rows({cafe, lobby}, cafe, u"Lobby"_s, true);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].rank, 2);
    EXPECT_TRUE(rows[0].isConnected);
    EXPECT_FALSE(rows[1].isConnected);
    EXPECT_FALSE(rows[0].isConnecting);
    EXPECT_TRUE(rows[1].isConnecting);
    // Every row is disabled during a join, not only the one being joined.
    EXPECT_TRUE(rows[0].connectionDisabled);

    EXPECT_EQ(PublicNetworkRankRow::countBadge(2, QLocale(QLocale::English)), u"2 public"_s);
}
