#include "testkit/AppStateFakes.h"
#include "ui/OnboardingPresentation.h"
#include "ui/OnboardingViewModel.h"
#include "ui/WindowPlacement.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(OnboardingPresentationTest, ContinueWaitsForPermissionOnlyWhileTheGateIsOn)
{
    using S = LocationAuthorizationStatus;
    using Action = OnboardingPresentation::Action;
    const QList<std::pair<S, Action>> actions{{S::unknown, Action::requestPermission},
                                              {S::notDetermined, Action::requestPermission},
                                              {S::allowed, Action::none},
                                              {S::denied, Action::openSettings},
                                              {S::restricted, Action::openSettings},
                                              {S::disabled, Action::openSettings}};
    for (const auto& [status, action] : actions) {
        const auto gated = OnboardingPresentation::make(status, true);
        EXPECT_EQ(gated.buttonAction, action) << logValue(status).toStdString();
        EXPECT_EQ(gated.isContinueEnabled, status == S::allowed) << logValue(status).toStdString();
        EXPECT_TRUE(OnboardingPresentation::make(status, false).isContinueEnabled) << logValue(status).toStdString();
    }
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
