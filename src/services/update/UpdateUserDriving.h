#pragma once

#include "services/update/AppcastItem.h"
#include "services/update/UpdateError.h"

#include <QCoroTask>

// The windows of a user-initiated update check. Background checks show nothing until an update has
// been installed and the user can choose to relaunch.
class UpdateUserDriving {
public:
    virtual ~UpdateUserDriving() = default;
    virtual void showChecking() = 0;
    virtual void showUpToDate(const QString& currentVersion) = 0;
    // Whether the user wants the found update now.
    virtual QCoro::Task<bool> confirmInstall(AppcastItem item) = 0;
    virtual void showDownloadProgress(qint64 received, qint64 total) = 0;
    // Checking and unpacking the download, in bytes of the archive worked through.
    virtual void showInstallProgress(qint64 done, qint64 total) = 0;
    // Installed; whether to relaunch into the new version now.
    virtual QCoro::Task<bool> confirmRelaunch(AppcastItem item) = 0;
    virtual void showError(const UpdateError& error) = 0;
    virtual void dismiss() = 0;
};
