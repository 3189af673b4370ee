#pragma once

#include "services/update/UpdateError.h"

#include <QString>

#include <optional>

// Puts a verified download in place of the running installation, and starts the installed program.
class UpdateInstalling {
public:
    virtual ~UpdateInstalling() = default;
    virtual std::optional<UpdateError> install(const QString& archivePath) = 0;
    virtual std::optional<UpdateError> relaunch() = 0;
};
