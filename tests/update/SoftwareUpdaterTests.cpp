// The update framework end to end: a signed release on the loopback product service is found,
// downloaded, verified and installed into a throw-away installation by one switch; an older release
// offered as newer, tampered or unsigned ones never are, and a failed install leaves the old one running.
#include "connectivity/NetworkURLSession.h"
#include "services/SoftwareUpdateDefaults.h"
#include "services/SoftwareUpdateFeedPreflight.h"
#include "services/SoftwareUpdateService.h"
#include "services/update/SoftwareUpdater.h"
#include "services/update/TarballUpdateInstaller.h"
#include "testkit/Await.h"
#include "testkit/LoopbackProductService.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString tool() { return qEnvironmentVariable("BREWBEACON_BINARY_DIR") + u"/tools/signing/brewbeacon-sign-update"_s; }

QString run(const QString& program, const QStringList& arguments, int expectedExit = 0)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    EXPECT_EQ(process.exitCode(), expectedExit) << program.toStdString() << " " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

void writeFile(const QString& path, const QByteArray& content, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file of a tree with its content, to compare an installation before and after.
QMap<QString, QByteArray> snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), readFile(path));
    }
    return files;
}

class RecordingDelegate : public SoftwareUpdaterDelegate {
public:
    QList<std::optional<UpdateError>> finished;
    int relaunchAsked = 0;
    void willScheduleUpdateCheck(std::chrono::seconds) override {}
    bool shouldRelaunchApplication() override { return ++relaunchAsked > 0; }
    void willRelaunchApplication() override {}
    void didFinishUpdateCycle(const std::optional<UpdateError>& error) override { finished.append(error); }
    void willShowUpdate() override {}
};

class AcceptingDriver : public UpdateUserDriving {
public:
    QList<qint64> progressTotals;
    QList<qint64> installProgress;
    QStringList offered;
    bool upToDate = false;
    bool relaunch = false;
    void showChecking() override {}
    void showUpToDate(const QString&) override { upToDate = true; }
    QCoro::Task<bool> confirmInstall(AppcastItem item) override
    {
        offered.append(item.displayVersion);
        co_return true;
    }
    void showDownloadProgress(qint64, qint64 total) override { progressTotals.append(total); }
    void showInstallProgress(qint64 done, qint64) override { installProgress.append(done); }
    QCoro::Task<bool> confirmRelaunch(AppcastItem) override { co_return relaunch; }
    void showError(const UpdateError&) override {}
    void dismiss() override {}
};

class SoftwareUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeFile(prefix() + u"/bin/brewbeacon"_s, "#!/bin/sh\necho old\n", true);
        writeFile(prefix() + u"/share/brewbeacon/obsolete.qml"_s, "only in the old version\n");
        publicKey = run(tool(), {u"generate-keys"_s, work.filePath(u"signing.key"_s)});
        ASSERT_EQ(QByteArray::fromBase64(publicKey.toLatin1()).size(), 32);
        makeArchive("#!/bin/sh\necho new\n");
    }

    QString installs() const { return work.filePath(u"installs"_s); }
    QString prefix() const { return installs() + u"/brewbeacon"_s; }
    QString updates() const { return work.filePath(u"updates"_s); }
    QString archive() const { return updates() + u"/brewbeacon-2.tar.gz"_s; }
    QString installedOutput() const { return run(prefix() + u"/bin/brewbeacon"_s, {}); }

    void makeArchive(const QByteArray& program, const QString& path = {})
    {
        const QString payload = work.filePath(u"payload"_s);
        QDir(payload).removeRecursively();
        writeFile(payload + u"/bin/brewbeacon"_s, program, true);
        writeFile(payload + u"/share/brewbeacon/VERSION"_s, "2\n");
        QDir().mkpath(updates());
        // As the release steps make it: the whole folder, "./" first.
        run(u"tar"_s, {u"-czf"_s, path.isEmpty() ? archive() : path, u"-C"_s, payload, u"."_s});
    }

    // The appcast offering the archive as `advertised`, signed by the release tool as `signedAs`.
    void publish(const QString& advertised = u"2"_s, const QString& signedAs = u"2"_s, bool signedRelease = true)
    {
        QString attributes = run(tool(), {u"sign"_s, work.filePath(u"signing.key"_s), archive(), signedAs});
        ASSERT_TRUE(attributes.contains(u"length=\""_s + QString::number(QFileInfo(archive()).size()) + u'"'));
        attributes.replace(u"sparkle:version=\""_s + signedAs + u'"', u"sparkle:version=\""_s + advertised + u'"');
        if (!signedRelease)
            attributes = u"sparkle:version=\"%1\" length=\"%2\""_s.arg(advertised).arg(QFileInfo(archive()).size());
        writeFile(updates() + u"/appcast.xml"_s,
                  (u"<?xml version=\"1.0\"?><rss version=\"2.0\" xmlns:sparkle=\"https://brewbeacon.app/xml-namespaces/appcast\">"
                   "<channel><title>BrewBeacon</title><item><title>BrewBeacon</title>"
                   "<sparkle:shortVersionString>%1.0</sparkle:shortVersionString>"
                   "<enclosure url=\"updates/brewbeacon-2.tar.gz\" type=\"application/gzip\" %2/></item></channel></rss>"_s
                       .arg(advertised, attributes))
                      .toUtf8());
    }

    SoftwareUpdater::Configuration configuration(const QString& currentVersion = u"1"_s)
    {
        SoftwareUpdater::Configuration configuration;
        configuration.feedURL = service.url(u"/appcast.xml"_s);
        configuration.currentVersion = currentVersion;
        configuration.systemVersion = u"6.1"_s;
        configuration.defaults = defaults;
        configuration.transport.allowsHTTP = true; // the loopback service speaks http
        configuration.verifier = UpdateSignatureVerifier(publicKey);
        configuration.installer = installer;
        configuration.userDriver = driver;
        configuration.downloadDirectory = work.filePath(u"downloads"_s);
        return configuration;
    }
    std::unique_ptr<SoftwareUpdater> makeUpdater(const QString& currentVersion = u"1"_s)
    {
        return std::make_unique<SoftwareUpdater>(configuration(currentVersion), delegate);
    }

    int downloads() const
    {
        int count = 0;
        for (const auto& request : service.state().value(u"requests"_s).toArray())
            count += request[u"path"_s].toString().startsWith(u"/updates/"_s);
        return count;
    }

    QTemporaryDir work;
    LoopbackProductService service{work.filePath(u"updates"_s)};
    std::shared_ptr<QSettings> defaults = std::make_shared<QSettings>(work.filePath(u"defaults.ini"_s), QSettings::IniFormat);
    QString publicKey;
    RecordingDelegate delegate;
    std::shared_ptr<AcceptingDriver> driver = std::make_shared<AcceptingDriver>();
    std::shared_ptr<TarballUpdateInstaller> installer =
        std::make_shared<TarballUpdateInstaller>(prefix(), u"bin/brewbeacon"_s, QStringList{u"--after-update"_s});
};

} // namespace

TEST_F(SoftwareUpdaterTest, ASignedReleaseReplacesTheWholeInstallationInOneSwitch)
{
    ASSERT_TRUE(service.isRunning()) << service.errorText().toStdString();
    publish();
    const auto access = QFileInfo(prefix()).permissions();
    auto updater = makeUpdater();
    EXPECT_EQ(await(updater->runUpdateCycle(true)), std::nullopt);
    EXPECT_EQ(driver->offered, QStringList{u"2.0"_s});
    EXPECT_EQ(QFileInfo(prefix()).permissions(), access) << "the installation folder keeps its access";
    ASSERT_FALSE(driver->progressTotals.isEmpty()) << "the download reports progress";
    EXPECT_EQ(driver->progressTotals.last(), QFileInfo(archive()).size());
    ASSERT_FALSE(driver->installProgress.isEmpty()) << "installing reports progress";
    EXPECT_EQ(driver->installProgress.last(), 2 * QFileInfo(archive()).size());

    EXPECT_EQ(installedOutput(), u"new"_s);
    EXPECT_EQ(snapshot(prefix()).keys(), (QStringList{u"bin/brewbeacon"_s, u"share/brewbeacon/VERSION"_s}))
        << "no file of the old version is left among the new ones";
    EXPECT_TRUE(QDir(work.filePath(u"downloads"_s)).isEmpty()) << "the download is removed after installing";
    // The old tree stays beside the new one until the new program has started.
    EXPECT_EQ(QDir(installs()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{u".brewbeacon.previous"_s, u"brewbeacon"_s}));
    EXPECT_EQ(run(installs() + u"/.brewbeacon.previous/bin/brewbeacon"_s, {}), u"old"_s);
    ASSERT_EQ(delegate.finished.size(), 1);
    EXPECT_TRUE(updater->canCheckForUpdates());

    // This process still runs version 1, but what it installed is not installed twice.
    EXPECT_EQ(await(updater->runUpdateCycle(true)), std::nullopt);
    EXPECT_TRUE(driver->upToDate);
    EXPECT_EQ(downloads(), 1);

    // The new version's start drops the old tree.
    auto current = makeUpdater(u"2"_s);
    current->start();
    ASSERT_TRUE(spinUntil([&] { return !QFileInfo::exists(installs() + u"/.brewbeacon.previous"_s); }));
    EXPECT_EQ(installedOutput(), u"new"_s);
}

TEST_F(SoftwareUpdaterTest, AnOlderSignedReleaseOfferedAsNewerIsNeverInstalled)
{
    ASSERT_TRUE(service.isRunning()) << service.errorText().toStdString();
    defaults->setValue(SoftwareUpdateDefaults::automaticallyUpdateKey, true);
    // Version 2 is running; the gateway replays the validly signed release 2 as "3".
    publish(u"3"_s, u"2"_s);
    auto updater = makeUpdater(u"2"_s);
    EXPECT_EQ(await(updater->runUpdateCycle(false)), UpdateError::signatureMismatch()) << "a background cycle";
    EXPECT_EQ(await(updater->runUpdateCycle(true)), UpdateError::signatureMismatch());
    // Offered honestly as what it is, it is simply not newer.
    publish(u"2"_s, u"2"_s);
    EXPECT_EQ(await(updater->runUpdateCycle(false)), std::nullopt);
    EXPECT_EQ(downloads(), 2);
    EXPECT_EQ(installedOutput(), u"old"_s);
    EXPECT_TRUE(QDir(work.filePath(u"downloads"_s)).isEmpty()) << "a refused download is deleted";

    // Plain http is refused unless the build allows it: nothing is even fetched.
    const auto requestsBefore = service.state().value(u"requests"_s).toArray().size();
    auto strict = configuration();
    strict.transport.allowsHTTP = false;
    SoftwareUpdater httpsOnly(std::move(strict), delegate);
    EXPECT_EQ(await(httpsOnly.runUpdateCycle(true)).value_or(UpdateError{}).kind, UpdateError::Kind::insecureURL);
    EXPECT_EQ(service.state().value(u"requests"_s).toArray().size(), requestsBefore);
}

TEST_F(SoftwareUpdaterTest, TamperedOrUnsignedReleasesAreRefusedAndNothingIsInstalled)
{
    ASSERT_TRUE(service.isRunning()) << service.errorText().toStdString();
    publish();
    QByteArray bytes = readFile(archive());
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x01); // same length, one bit changed
    writeFile(archive(), bytes);
    auto updater = makeUpdater();
    EXPECT_EQ(await(updater->runUpdateCycle(true)), UpdateError::signatureMismatch());
    EXPECT_EQ(installedOutput(), u"old"_s);

    publish(u"2"_s, u"2"_s, false);
    EXPECT_EQ(await(updater->runUpdateCycle(true)), UpdateError::unsignedUpdate());
    EXPECT_EQ(downloads(), 1) << "an unsigned release is never fetched";
    EXPECT_EQ(delegate.finished.size(), 2);
}

TEST_F(SoftwareUpdaterTest, AFailureAtAnyPointLeavesThePreviousInstallationRunnable)
{
    const auto before = snapshot(prefix());
    const auto failInstall = [&](const QString& archivePath) {
        const auto error = await(installer->install(archivePath, {}));
        EXPECT_TRUE(error.has_value());
        EXPECT_EQ(snapshot(prefix()), before);
        EXPECT_EQ(installedOutput(), u"old"_s);
        EXPECT_EQ(QDir(installs()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{u"brewbeacon"_s})
            << "nothing is left beside the installation";
        return error.value_or(UpdateError{});
    };

    // An archive without the program.
    const QString noProgram = work.filePath(u"no-program.tar.gz"_s);
    run(u"tar"_s, {u"-czf"_s, noProgram, u"-C"_s, prefix(), u"share"_s});
    EXPECT_EQ(failInstall(noProgram).kind, UpdateError::Kind::installFailed);

    // Cut short, or damaged inside.
    const QByteArray good = readFile(archive());
    writeFile(work.filePath(u"cut.tar.gz"_s), good.left(good.size() - 40));
    EXPECT_EQ(failInstall(work.filePath(u"cut.tar.gz"_s)).kind, UpdateError::Kind::unsafeArchive);

    // Safe names that still do not make an installation: the program overwritten by a folder.
    const QString clash = work.filePath(u"clash"_s);
    writeFile(clash + u"/bin/brewbeacon"_s, "#!/bin/sh\necho new\n", true);
    writeFile(clash + u"/other/brewbeacon/inner"_s, "x");
    run(u"tar"_s, {u"-czf"_s, work.filePath(u"clash.tar.gz"_s), u"-C"_s, clash, u"bin"_s, u"--transform=s,^other,bin,"_s,
                   u"other"_s});
    EXPECT_EQ(failInstall(work.filePath(u"clash.tar.gz"_s)).kind, UpdateError::Kind::installFailed);

    if (::geteuid() != 0) { // permissions do not stop root
        QFile::setPermissions(prefix() + u"/share"_s, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(failInstall(archive()).kind, UpdateError::Kind::installFailed);
        QFile::setPermissions(prefix() + u"/share"_s, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // Installed, but the new program cannot start: the old installation is put back.
    makeArchive("#!/nonexistent/interpreter\n");
    ASSERT_EQ(await(installer->install(archive(), {})), std::nullopt);
    EXPECT_EQ(installer->relaunch().value_or(UpdateError{}).kind, UpdateError::Kind::relaunchFailed);
    EXPECT_EQ(snapshot(prefix()), before);
    EXPECT_EQ(installedOutput(), u"old"_s);
}

TEST_F(SoftwareUpdaterTest, RelaunchStartsTheInstalledProgramAndEndsThisOne)
{
    ASSERT_TRUE(service.isRunning()) << service.errorText().toStdString();
    const QString marker = work.filePath(u"started"_s);
    makeArchive(u"#!/bin/sh\necho \"new $* from $BREWBEACON_RELAUNCHED_FROM_PID\" > '%1'\n"_s.arg(marker).toUtf8());
    publish();
    driver->relaunch = true;
    int terminated = 0;
    auto relaunching = configuration();
    relaunching.terminate = [&terminated] { ++terminated; };
    SoftwareUpdater updater(std::move(relaunching), delegate);

    EXPECT_EQ(await(updater.runUpdateCycle(true)), std::nullopt);
    EXPECT_EQ(delegate.relaunchAsked, 1);
    EXPECT_EQ(terminated, 1);
    ASSERT_TRUE(spinUntil([&] { return !readFile(marker).isEmpty(); }));
    EXPECT_EQ(readFile(marker), u"new --after-update from %1\n"_s.arg(QCoreApplication::applicationPid()).toUtf8());
}

TEST(SoftwareUpdateService, MigrationTurnsBothSwitchesOnOnceAndKeepsTheUsersChoice)
{
    QTemporaryDir dir;
    auto defaults = std::make_shared<QSettings>(dir.filePath(u"defaults.ini"_s), QSettings::IniFormat);
    // Before the migration existed a stored "off" was the old default, not a choice: it is replaced.
    defaults->setValue(SoftwareUpdateDefaults::automaticChecksKey, false);
    SoftwareUpdateDefaults::applyAutomaticUpdateDefaultsIfNeeded(*defaults);
    EXPECT_TRUE(defaults->value(SoftwareUpdateDefaults::automaticChecksKey).toBool());
    EXPECT_TRUE(defaults->value(SoftwareUpdateDefaults::automaticallyUpdateKey).toBool());
    EXPECT_TRUE(defaults->value(SoftwareUpdateDefaults::migrationKey).toBool());

    defaults->setValue(SoftwareUpdateDefaults::automaticChecksKey, false);
    defaults->remove(SoftwareUpdateDefaults::automaticallyUpdateKey);
    SoftwareUpdateDefaults::applyAutomaticUpdateDefaultsIfNeeded(*defaults);
    EXPECT_FALSE(defaults->value(SoftwareUpdateDefaults::automaticChecksKey).toBool()) << "the user's choice is kept";
    EXPECT_TRUE(defaults->value(SoftwareUpdateDefaults::automaticallyUpdateKey).toBool()) << "a missing switch is filled in";
}

TEST_F(SoftwareUpdaterTest, TheServicePreflightsTheFeedAndShowsWhyACheckCannotRun)
{
    ASSERT_TRUE(service.isRunning()) << service.errorText().toStdString();
    SoftwareUpdater* framework = nullptr;
    SoftwareUpdateService updates(
        std::make_unique<SoftwareUpdateFeedPreflight>(service.url(u"/appcast.xml"_s), std::make_shared<NetworkURLSession>()),
        defaults, [&](SoftwareUpdaterDelegate& serviceDelegate) {
            auto made = std::make_unique<SoftwareUpdater>(configuration(u"2"_s), serviceDelegate);
            framework = made.get();
            return made;
        });
    EXPECT_TRUE(updates.canCheckForUpdates());
    EXPECT_FALSE(updates.updatesManagedBySystem());

    ASSERT_TRUE(service.behave(u"/appcast.xml"_s, 503, 3));
    updates.checkForUpdates();
    EXPECT_TRUE(updates.isCheckingForUpdates());
    EXPECT_EQ(updates.updateStatusMessage(), SoftwareUpdateService::checkingMessage());
    await(updates.preflightFinished());
    EXPECT_EQ(updates.updateStatusMessage(), u"BrewBeacon could not reach the update feed. Server returned 503."_s);

    publish();
    updates.checkForUpdates();
    await(updates.preflightFinished());
    EXPECT_EQ(updates.updateStatusMessage(), std::nullopt) << "a usable feed clears the message";
    ASSERT_TRUE(spinUntil([&] { return framework->canCheckForUpdates(); }, std::chrono::seconds(10)));

    updates.setAutomaticallyChecksForUpdates(false);
    EXPECT_FALSE(defaults->value(SoftwareUpdateDefaults::automaticChecksKey).toBool());
    EXPECT_FALSE(defaults->value(SoftwareUpdateDefaults::automaticallyUpdateKey).toBool()) << "one switch drives both";
    EXPECT_FALSE(updates.automaticallyDownloadsUpdates());
}

TEST_F(SoftwareUpdaterTest, AnInstallationOfThePackageManagerIsNeverTouched)
{
    ASSERT_TRUE(service.isRunning()) << service.errorText().toStdString();
    publish();
    auto system = std::make_shared<TarballUpdateInstaller>(u"/usr"_s, u"bin/brewbeacon"_s);
    SoftwareUpdateService updates(
        std::make_unique<SoftwareUpdateFeedPreflight>(service.url(u"/appcast.xml"_s), std::make_shared<NetworkURLSession>()),
        defaults, [&](SoftwareUpdaterDelegate& serviceDelegate) {
            auto managed = configuration();
            managed.installer = system;
            return std::make_unique<SoftwareUpdater>(std::move(managed), serviceDelegate);
        });
    EXPECT_TRUE(updates.updatesManagedBySystem());
    EXPECT_FALSE(updates.automaticallyChecksForUpdates()) << "the switch shows that nothing updates by itself";
    updates.setAutomaticallyChecksForUpdates(true);
    EXPECT_FALSE(updates.automaticallyChecksForUpdates());
    updates.checkForUpdates();
    EXPECT_EQ(updates.updateStatusMessage(), SoftwareUpdateService::packageManagerMessage(QLocale()));
    EXPECT_NE(SoftwareUpdateService::packageManagerMessage(QLocale(QLocale::Vietnamese)),
              SoftwareUpdateService::packageManagerMessage(QLocale(QLocale::English)));
    EXPECT_EQ(await(system->install(archive(), {})).value_or(UpdateError{}).kind, UpdateError::Kind::managedByPackageManager);
    EXPECT_TRUE(service.state().value(u"requests"_s).toArray().isEmpty()) << "not even the feed is fetched";
}

TEST(SigningTool, TheKeyIsOwnerOnlyFromTheStartAndNeverOverwritten)
{
    QTemporaryDir dir;
    const QString key = dir.filePath(u"signing.key"_s);
    // Even with a umask that lets everything through.
    run(u"/bin/sh"_s, {u"-c"_s, u"umask 0; exec \"$0\" generate-keys \"$1\""_s, tool(), key});
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(key).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const QByteArray secret = readFile(key);
    run(tool(), {u"generate-keys"_s, key}, 1);
    EXPECT_EQ(readFile(key), secret);

    writeFile(dir.filePath(u"file"_s), "release");
    run(tool(), {u"sign"_s, key, dir.filePath(u"file"_s), u"2\" evil=\""_s}, 1); // would break the attribute
    EXPECT_TRUE(run(tool(), {u"sign"_s, key, dir.filePath(u"file"_s), u"2.1"_s}).startsWith(u"sparkle:version=\"2.1\" "_s));
}
