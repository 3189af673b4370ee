#pragma once

#include "services/update/UpdateInstalling.h"

#include <QStringList>

// We ship the installation prefix as a gzip tarball ("bin/brewbeacon", "share/..."). Installing lists
// the archive first and refuses anything but plain files and folders below the prefix (no absolute
// names, no "..", no links or devices), unpacks it into a staging folder beside the prefix, then moves
// each file into place with a rename, so a running program keeps its old files until it restarts.
class TarballUpdateInstaller : public UpdateInstalling {
public:
    // `prefix` is the installation's root; `program` the file to start after installing (relative).
    TarballUpdateInstaller(QString prefix, QString program, QStringList relaunchArguments = {});

    // The running program's own installation: the folder above the one holding the executable.
    static TarballUpdateInstaller forRunningProgram();

    std::optional<UpdateError> install(const QString& archivePath) override;
    std::optional<UpdateError> relaunch() override;

    // Member names from a "tar -tvzf" listing, or why the archive is unsafe.
    static std::optional<UpdateError> checkListing(const QString& verboseListing);

private:
    QString m_prefix;
    QString m_program;
    QStringList m_relaunchArguments;
};
