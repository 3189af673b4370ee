#include "testkit/AppStateFakes.h"
#include "ui/OnboardingPresentation.h"
#include "ui/OnboardingViewModel.h"
#include "ui/PublicNetworkRankRow.h"
#include "ui/WindowPlacement.h"

#include <QTemporaryDir>

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
              u"Restricted by the system's policy (polkit)."_s);
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

TEST(OnboardingViewModelTest, OpenSettingsSaysSoWhenTheDesktopHasNoNetworkSettings)
{
    QTemporaryDir dir;
    AppStateRig rig;
    rig.location = LocationAuthorizationStatus::denied;
    int opened = 0;
    AppState::Collaborators collaborators = rig.collaborators(dir.filePath(u"defaults.ini"_s));
    collaborators.openLocationSettings = [&] { ++opened; };
    AppState state(std::move(collaborators));
    state.refreshLocationAuthorizationStatus();
    bool installed = false;
    OnboardingViewModel model(state, QLocale(QLocale::English), nullptr, [&] { return installed; });
    ASSERT_EQ(model.buttonTitle(), u"Open Settings"_s);
    model.pressAccessButton();
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(model.settingsToolMessage().contains(u"nm-connection-editor"_s)) << model.settingsToolMessage().toStdString();

    installed = true;
    model.pressAccessButton();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(model.settingsToolMessage().isEmpty()) << "the message goes once a program is there";
}

TEST(WindowPlacementTest, CentredOnTheFreeAreaAndNeverPastItsEdges)
{
    const QRect laptop(0, 32, 1366, 736); // a panel above
    const QRect frame = WindowPlacement::centredFrame({560, 680}, {520, 620}, laptop);
    EXPECT_EQ(frame.size(), QSize(560, 672)) << "the height gives way to the margins";
    EXPECT_EQ(frame.center(), laptop.center());
    EXPECT_TRUE(laptop.contains(frame));

    const QRect small(100, 0, 500, 400);
    const QRect squeezed = WindowPlacement::centredFrame({560, 680}, {520, 620}, small);
    EXPECT_TRUE(small.contains(squeezed)) << "a screen smaller than the minimum still shows the whole window";
    EXPECT_EQ(WindowPlacement::centredFrame({560, 280}, {520, 280}, QRect(0, 0, 1920, 1080)), QRect(680, 400, 560, 280));
}
