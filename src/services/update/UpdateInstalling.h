#pragma once

#include "services/update/UpdateError.h"

#include <QCoroTask>
#include <QString>

#include <functional>
#include <optional>

// Puts a verified download in place of the running installation, and starts the installed program.
class UpdateInstalling {
public:
    using Progress = std::function<void(qint64 done, qint64 total)>;

    virtual ~UpdateInstalling() = default;
    // Either the whole new installation is in place or the previous one is untouched. Slow work runs
    // off the calling thread; `progress` is called on it.
    virtual QCoro::Task<std::optional<UpdateError>> install(QString archivePath, Progress progress) = 0;
    // Starts the installed program; if it cannot start, the previous installation is put back.
    virtual std::optional<UpdateError> relaunch() = 0;
    // The program running now is the installed one: what the last update replaced can go.
    virtual QCoro::Task<> finishInstallation() = 0;
    // Such an installation is updated by the system, never by the app.
    virtual bool isManagedByPackageManager() const = 0;
};
