#pragma once

#include "services/update/InstallationLayout.h"
#include "services/update/UpdateInstalling.h"

#include <QStringList>

struct BackgroundProgress;

// We ship the installation prefix as a gzip tarball ("bin/brewbeacon", "share/..."). Installing checks
// that every folder it will touch is writable, reads the archive's member headers and refuses anything
// but plain files and folders below the prefix, unpacks it into a staging folder beside the prefix,
// checks what was unpacked, and swaps the staging folder with the prefix in one step. The replaced tree
// is kept beside it until the new program has started, and swapped back if the new program cannot be
// started. A running program keeps the files it opened.
class TarballUpdateInstaller : public UpdateInstalling {
public:
    // `prefix` is the installation's root; `program` the file to start after installing (relative).
    TarballUpdateInstaller(QString prefix, QString program, QStringList relaunchArguments = {});

    // The running program's own installation: the folder above the one holding the executable.
    static TarballUpdateInstaller forRunningProgram();

    // Set in the environment of a program started after an update: the id of the process that started
    // it, which is about to quit.
    static QByteArray relaunchedFromVariable() { return QByteArrayLiteral("BREWBEACON_RELAUNCHED_FROM_PID"); }

    QCoro::Task<std::optional<UpdateError>> install(QString archivePath, Progress progress) override;
    std::optional<UpdateError> relaunch() override;
    QCoro::Task<> finishInstallation() override;
    bool isManagedByPackageManager() const override;

    const InstallationLayout& layout() const { return m_layout; }

    // The whole installation, blocking; what install() runs on a worker thread.
    static std::optional<UpdateError> installBlocking(const InstallationLayout& layout, const QString& archivePath,
                                                      BackgroundProgress& progress);

private:
    InstallationLayout m_layout;
    QStringList m_relaunchArguments;
};
