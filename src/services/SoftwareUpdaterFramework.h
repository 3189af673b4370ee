#pragma once

#include "services/update/UpdateError.h"

#include <QObject>

#include <chrono>
#include <optional>

// What the update framework asks of the application while it runs an update cycle.
class SoftwareUpdaterDelegate {
public:
    virtual ~SoftwareUpdaterDelegate() = default;
    virtual void willScheduleUpdateCheck(std::chrono::seconds delay) = 0;
    // Asked before the framework quits the process to start the installed version.
    virtual bool shouldRelaunchApplication() = 0;
    virtual void willRelaunchApplication() = 0;
    // Every cycle ends here; no error when it found nothing, or installed what it found.
    virtual void didFinishUpdateCycle(const std::optional<UpdateError>& error) = 0;
    // The framework is about to put an update window in front of the user.
    virtual void willShowUpdate() = 0;
};

// The update framework's updater as the update service sees it: two stored switches, whether a check can
// start now, and the cycle itself. Changes of the three values are signalled.
class SoftwareUpdaterFramework : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool automaticallyChecksForUpdates() const = 0;
    virtual void setAutomaticallyChecksForUpdates(bool enabled) = 0;
    virtual bool automaticallyDownloadsUpdates() const = 0;
    virtual void setAutomaticallyDownloadsUpdates(bool enabled) = 0;
    virtual bool canCheckForUpdates() const = 0;
    // The installation belongs to the system's package manager, which updates it; the app never does.
    virtual bool updatesManagedBySystem() const { return false; }

    // Starts the schedule of background checks (when they are on).
    virtual void start() = 0;
    // A user-initiated check: finds, downloads, verifies and installs, showing its own windows.
    virtual void checkForUpdates() = 0;
    // Restarts the background schedule from now, after a change of the switches.
    virtual void resetUpdateCycle() = 0;

Q_SIGNALS:
    void automaticallyChecksForUpdatesChanged();
    void automaticallyDownloadsUpdatesChanged();
    void canCheckForUpdatesChanged();
};
