#pragma once

#include "state/LocationAuthorizationStatus.h"

// The process ends only through the menu's Quit or a relaunch the updater asked for; any other request
// to terminate closes the windows and keeps the tray item running.
class AppLifecycleController {
public:
    enum class TerminationReply { terminateNow, cancelAndCloseWindows };

    static AppLifecycleController& shared();

    bool menuQuitRequested = false;
    bool softwareUpdateRelaunchRequested = false;

    // Both flags are spent by every request, so a refused request never leaves one armed.
    TerminationReply shouldTerminate();
};

// Which window opens first: the setup window while Wi-Fi names are hidden, else the main window.
enum class InitialWindow { onboarding, main };
InitialWindow initialWindow(LocationAuthorizationStatus status);
