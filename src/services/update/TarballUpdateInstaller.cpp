#include "services/update/TarballUpdateInstaller.h"

#include "services/update/BackgroundWork.h"
#include "services/update/DirectorySwap.h"
#include "services/update/InstallationOwnership.h"
#include "services/update/UpdateArchiveListing.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool canWriteInto(const QString& directory)
{
    return ::access(QFile::encodeName(directory).constData(), W_OK | X_OK) == 0;
}

// Every folder an update writes to, renames or later removes, checked before anything moves.
std::optional<UpdateError> checkWritable(const InstallationLayout& layout)
{
    const QFileInfo prefix(layout.prefix);
    if (prefix.isSymLink() || !prefix.isDir() || !canWriteInto(layout.parent()))
        return UpdateError::notInstalledInPrefix(layout.prefix);
    if (!canWriteInto(layout.prefix))
        return UpdateError::installFailed(u"cannot write to "_s + layout.prefix);
    QDirIterator folders(layout.prefix, QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (folders.hasNext()) {
        const QString folder = folders.next();
        if (!QFileInfo(folder).isSymLink() && !canWriteInto(folder))
            return UpdateError::installFailed(u"cannot write to "_s + folder);
    }
    return std::nullopt;
}

// Leftovers of an earlier update, so the names beside the prefix are free.
std::optional<UpdateError> clearBeside(const InstallationLayout& layout)
{
    const QDir parent(layout.parent());
    const QStringList stale = parent.entryList({layout.stagingPrefix() + u'*'}, QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString& name : stale)
        removeTree(parent.filePath(name));
    if (!removeTree(layout.previous()))
        return UpdateError::installFailed(u"cannot remove the earlier installation at "_s + layout.previous());
    return std::nullopt;
}

struct Unpacked {
    bool ok = false;
    QString error;
};

// The archive is fed to tar from here, so progress follows the bytes handed over.
Unpacked unpack(const QString& archivePath, const QString& into, BackgroundProgress& progress, qint64 offset)
{
    QFile archive(archivePath);
    if (!archive.open(QIODevice::ReadOnly))
        return {false, archive.errorString()};
    QProcess tar;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LC_ALL"_s, u"C"_s);
    tar.setProcessEnvironment(environment);
    tar.setStandardOutputFile(QProcess::nullDevice());
    tar.start(u"tar"_s, {u"-xzf"_s, u"-"_s, u"-C"_s, into, u"--no-same-owner"_s, u"--no-same-permissions"_s,
                         u"--warning=no-timestamp"_s});
    if (!tar.waitForStarted(30000))
        return {false, u"tar could not be started"_s};
    QByteArray chunk(256 * 1024, Qt::Uninitialized);
    qint64 read = 0;
    qint64 fed = 0;
    while ((read = archive.read(chunk.data(), chunk.size())) > 0) {
        if (tar.write(chunk.constData(), read) != read || !tar.waitForBytesWritten(120000))
            break; // tar stopped reading; its exit status says why
        fed += read;
        progress.done = offset + fed;
    }
    tar.closeWriteChannel();
    if (!tar.waitForFinished(600000)) {
        tar.kill();
        tar.waitForFinished(5000);
        return {false, u"tar did not finish"_s};
    }
    const QString errors = QString::fromUtf8(tar.readAllStandardError()).trimmed().left(2000);
    if (tar.exitStatus() != QProcess::NormalExit || tar.exitCode() != 0 || read < 0)
        return {false, errors.isEmpty() ? u"tar failed"_s : errors};
    return {true, {}};
}

// What tar created must be what the listing promised: plain files and folders only.
std::optional<UpdateError> checkStaged(const QString& staging, const UpdateArchiveListing& listing, const QString& program)
{
    QSet<QString> expected;
    for (const auto& entry : listing.entries) {
        QString path = QDir::cleanPath(entry.name);
        while (!path.isEmpty() && path != u"."_s) {
            expected.insert(path);
            const qsizetype slash = path.lastIndexOf(u'/');
            path = slash < 0 ? QString() : path.left(slash);
        }
    }
    const QDir root(staging);
    QDirIterator entries(staging, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QFileInfo info(path);
        const QString relative = root.relativeFilePath(path);
        struct stat status {};
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0
            || !(S_ISDIR(status.st_mode) || S_ISREG(status.st_mode)))
            return UpdateError::unsafeArchive(u"a link or special file: "_s + relative);
        if (status.st_mode & (S_ISUID | S_ISGID))
            return UpdateError::unsafeArchive(u"a file that runs as another user: "_s + relative);
        if (!expected.contains(relative))
            return UpdateError::unsafeArchive(u"an unlisted member: "_s + relative);
        // A later update must be able to remove this folder again.
        if (info.isDir() && !canWriteInto(path))
            QFile::setPermissions(path, info.permissions() | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QFileInfo programInfo(root.filePath(program));
    if (programInfo.isSymLink() || !programInfo.isFile() || !programInfo.isExecutable())
        return UpdateError::installFailed(u"the update has no "_s + program);
    return std::nullopt;
}

void flushToDisk(const QString& directory)
{
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
}

} // namespace

TarballUpdateInstaller::TarballUpdateInstaller(QString prefix, QString program, QStringList relaunchArguments)
    : m_layout{QDir::cleanPath(QFileInfo(prefix).absoluteFilePath()), std::move(program)},
      m_relaunchArguments(std::move(relaunchArguments))
{
}

TarballUpdateInstaller TarballUpdateInstaller::forRunningProgram()
{
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    const QString prefix = QDir::cleanPath(executable.absolutePath() + u"/.."_s);
    const QString program = QDir(prefix).relativeFilePath(executable.absoluteFilePath());
    return TarballUpdateInstaller(prefix, program, QCoreApplication::arguments().mid(1));
}

bool TarballUpdateInstaller::isManagedByPackageManager() const
{
    return InstallationOwnership::isManagedByPackageManager(m_layout.prefix);
}

std::optional<UpdateError> TarballUpdateInstaller::installBlocking(const InstallationLayout& layout,
                                                                   const QString& archivePath, BackgroundProgress& progress)
{
    if (InstallationOwnership::isManagedByPackageManager(layout.prefix))
        return UpdateError::managedByPackageManager(layout.prefix);
    if (auto unwritable = checkWritable(layout))
        return unwritable;
    if (auto blocked = clearBeside(layout))
        return blocked;

    // Checking the headers and unpacking each read the archive once.
    const qint64 size = QFileInfo(archivePath).size();
    progress.total = 2 * size;
    const UpdateArchiveListing listing =
        UpdateArchiveListing::read(archivePath, [&progress](qint64 read, qint64) { progress.done = read; });
    if (listing.error)
        return listing.error;

    QByteArray staging = QFile::encodeName(layout.stagingTemplate());
    if (!::mkdtemp(staging.data()))
        return UpdateError::installFailed(u"cannot create a folder beside "_s + layout.prefix + u": "_s
                                          + QString::fromLocal8Bit(std::strerror(errno)));
    const QString stagingPath = QFile::decodeName(staging);
    const auto fail = [&stagingPath](UpdateError error) {
        removeTree(stagingPath);
        return std::optional(std::move(error));
    };
    if (const Unpacked unpacked = unpack(archivePath, stagingPath, progress, size); !unpacked.ok)
        return fail(UpdateError::installFailed(unpacked.error));
    if (auto unsafe = checkStaged(stagingPath, listing, layout.program))
        return fail(*unsafe);
    // mkdtemp made the folder private; the installation keeps the access it had.
    QFile::setPermissions(stagingPath, QFileInfo(layout.prefix).permissions());
    flushToDisk(stagingPath);

    // The one step that changes the installation: afterwards the staging name holds the old tree.
    if (auto swapError = exchangeDirectories(stagingPath, layout.prefix))
        return fail(UpdateError::installFailed(*swapError));
    if (std::rename(staging.constData(), QFile::encodeName(layout.previous()).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        // Without the old tree under its known name it could not be restored later; undo the switch.
        if (exchangeDirectories(stagingPath, layout.prefix))
            return UpdateError::installFailed(u"the old installation is at "_s + stagingPath + u": "_s + why);
        return fail(UpdateError::installFailed(u"cannot keep the old installation: "_s + why));
    }
    progress.done = 2 * size;
    return std::nullopt;
}

QCoro::Task<std::optional<UpdateError>> TarballUpdateInstaller::install(QString archivePath, Progress progress)
{
    const InstallationLayout layout = m_layout;
    std::function<std::optional<UpdateError>(BackgroundProgress&)> work = [layout, archivePath](BackgroundProgress& state) {
        return installBlocking(layout, archivePath, state);
    };
    QCoro::Task<std::optional<UpdateError>> installing = runInBackground(std::move(work), std::move(progress));
    co_return co_await std::move(installing);
}

std::optional<UpdateError> TarballUpdateInstaller::relaunch()
{
    const QString program = m_layout.programPath();
    QProcess process;
    process.setProgram(program);
    process.setArguments(m_relaunchArguments);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(relaunchedFromVariable()), QString::number(QCoreApplication::applicationPid()));
    process.setProcessEnvironment(environment);
    if (process.startDetached())
        return std::nullopt;
    // The new program cannot run: put the previous installation back, so the next start works.
    if (QFileInfo(m_layout.previous()).isDir() && !exchangeDirectories(m_layout.previous(), m_layout.prefix))
        removeTree(m_layout.previous());
    return UpdateError::relaunchFailed(program);
}

QCoro::Task<> TarballUpdateInstaller::finishInstallation()
{
    const InstallationLayout layout = m_layout;
    std::function<bool(BackgroundProgress&)> work = [layout](BackgroundProgress&) { return removeTree(layout.previous()); };
    QCoro::Task<bool> removing = runInBackground(std::move(work));
    co_await std::move(removing);
}
