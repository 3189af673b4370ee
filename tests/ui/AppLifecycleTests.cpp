#include "state/AppLifecycleController.h"

#include <gtest/gtest.h>

TEST(AppLifecycleControllerTest, OnlyQuitOrUpdaterRelaunchTerminatesAndEachRequestSpendsTheFlags)
{
    AppLifecycleController controller;
    using Reply = AppLifecycleController::TerminationReply;
    EXPECT_EQ(controller.shouldTerminate(), Reply::cancelAndCloseWindows);

    controller.menuQuitRequested = true;
    EXPECT_EQ(controller.shouldTerminate(), Reply::terminateNow);
    EXPECT_FALSE(controller.menuQuitRequested);
    EXPECT_EQ(controller.shouldTerminate(), Reply::cancelAndCloseWindows);

    controller.softwareUpdateRelaunchRequested = true;
    EXPECT_EQ(controller.shouldTerminate(), Reply::terminateNow);
    EXPECT_EQ(controller.shouldTerminate(), Reply::cancelAndCloseWindows);
}

TEST(AppLifecycleControllerTest, InitialWindowIsSetupWhileNamesAreHidden)
{
    EXPECT_EQ(initialWindow(LocationAuthorizationStatus::notDetermined), InitialWindow::onboarding);
    EXPECT_EQ(initialWindow(LocationAuthorizationStatus::disabled), InitialWindow::onboarding);
    EXPECT_EQ(initialWindow(LocationAuthorizationStatus::allowed), InitialWindow::main);
    EXPECT_EQ(initialWindow(LocationAuthorizationStatus::unknown), InitialWindow::main);
}
