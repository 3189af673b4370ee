#include "state/AppLifecycleController.h"

#include <gtest/gtest.h>

TEST(AppLifecycleControllerTest, InitialWindowIsSetupWhileNamesAreHidden)
{
    EXPECT_EQ(initialWindow(LocationAuthorizationStatus::notDetermined), InitialWindow::onboarding);
    EXPECT_EQ(initialWindow(LocationAuthorizationStatus::disabled), InitialWindow::onboarding);
    EXPECT_EQ(initialWindow(LocationAuthorizationStatus::allowed), InitialWindow::main);
    EXPECT_EQ(initialWindow(LocationAuthorizationStatus::unknown), InitialWindow::main);
}
