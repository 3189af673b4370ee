#include "services/update/TarballUpdateInstaller.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

struct ToolResult {
    bool ok = false;
    QString output;
    QString error;
};

ToolResult runTar(const QStringList& arguments)
{
    QProcess tar;
    tar.start(u"tar"_s, arguments);
    if (!tar.waitForFinished(120000))
        return {false, {}, u"tar did not finish"_s};
    return {tar.exitStatus() == QProcess::NormalExit && tar.exitCode() == 0, QString::fromUtf8(tar.readAllStandardOutput()),
            QString::fromUtf8(tar.readAllStandardError()).trimmed()};
}

} // namespace

TarballUpdateInstaller::TarballUpdateInstaller(QString prefix, QString program, QStringList relaunchArguments)
    : m_prefix(std::move(prefix)), m_program(std::move(program)), m_relaunchArguments(std::move(relaunchArguments))
{
}

TarballUpdateInstaller TarballUpdateInstaller::forRunningProgram()
{
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    const QString prefix = QDir::cleanPath(executable.absolutePath() + u"/.."_s);
    const QString program = QDir(prefix).relativeFilePath(executable.absoluteFilePath());
    return TarballUpdateInstaller(prefix, program, QCoreApplication::arguments().mid(1));
}

std::optional<UpdateError> TarballUpdateInstaller::checkListing(const QString& verboseListing)
{
    for (const QString& line : verboseListing.split(u'\n', Qt::SkipEmptyParts)) {
        // "-rwxr-xr-x user/group 1234 2026-01-01 10:00 bin/brewbeacon": type letter first, name last.
        const QChar type = line.at(0);
        if (type != u'-' && type != u'd')
            return UpdateError::unsafeArchive(u"a link or special file: "_s + line.simplified());
        const QStringList fields = line.simplified().split(u' ');
        if (fields.size() < 6)
            return UpdateError::unsafeArchive(u"an unreadable entry: "_s + line.simplified());
        const QString name = fields.mid(5).join(u' ');
        if (name.startsWith(u'/') || name.split(u'/').contains(u".."_s))
            return UpdateError::unsafeArchive(u"a name outside the installation: "_s + name);
    }
    return std::nullopt;
}

std::optional<UpdateError> TarballUpdateInstaller::install(const QString& archivePath)
{
    const QFileInfo prefixInfo(m_prefix);
    if (!prefixInfo.isDir() || !prefixInfo.isWritable())
        return UpdateError::notInstalledInPrefix(m_prefix);
    const ToolResult listing = runTar({u"-tvzf"_s, archivePath});
    if (!listing.ok)
        return UpdateError::installFailed(listing.error);
    if (auto unsafe = checkListing(listing.output))
        return unsafe;

    // Staged on the same file system as the prefix, so the moves below are renames.
    QTemporaryDir staging(QDir(m_prefix).filePath(u".update-XXXXXX"_s));
    if (!staging.isValid())
        return UpdateError::installFailed(staging.errorString());
    const ToolResult unpack = runTar({u"-xzf"_s, archivePath, u"-C"_s, staging.path(), u"--no-same-owner"_s});
    if (!unpack.ok)
        return UpdateError::installFailed(unpack.error);
    if (!QFileInfo(QDir(staging.path()).filePath(m_program)).isExecutable())
        return UpdateError::installFailed(u"the update has no "_s + m_program);

    QDirIterator files(staging.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString relative = QDir(staging.path()).relativeFilePath(source);
        const QString target = QDir(m_prefix).filePath(relative);
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            return UpdateError::installFailed(u"cannot create the folder of "_s + relative);
        // rename(2) replaces the old file atomically; a running program keeps the one it opened.
        if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) != 0)
            return UpdateError::installFailed(u"cannot replace "_s + relative + u": "_s + QString::fromLocal8Bit(strerror(errno)));
    }
    return std::nullopt;
}

std::optional<UpdateError> TarballUpdateInstaller::relaunch()
{
    const QString program = QDir(m_prefix).filePath(m_program);
    if (!QProcess::startDetached(program, m_relaunchArguments))
        return UpdateError::relaunchFailed(program);
    return std::nullopt;
}
