#include "state/AppLifecycleController.h"

#include "state/LocationAuthorizationStatus.h"

AppLifecycleController& AppLifecycleController::shared()
{
    static AppLifecycleController controller;
    return controller;
}

AppLifecycleController::TerminationReply AppLifecycleController::shouldTerminate()
{
    const bool allowed = menuQuitRequested || softwareUpdateRelaunchRequested;
    menuQuitRequested = false;
    softwareUpdateRelaunchRequested = false;
    return allowed ? TerminationReply::terminateNow : TerminationReply::cancelAndCloseWindows;
}

InitialWindow initialWindow(LocationAuthorizationStatus status)
{
    return needsPermission(status) ? InitialWindow::onboarding : InitialWindow::main;
}
