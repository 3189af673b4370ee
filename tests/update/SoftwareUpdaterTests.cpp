// The update framework end to end: a signed release on the loopback product service is found,
// downloaded, verified and installed into a throw-away installation; tampered or unsigned ones never are.
#include "services/SoftwareUpdateDefaults.h"
#include "services/SoftwareUpdateService.h"
#include "services/SoftwareUpdateFeedPreflight.h"
#include "connectivity/NetworkURLSession.h"
#include "services/update/SoftwareUpdater.h"
#include "services/update/TarballUpdateInstaller.h"
#include "state/AppLifecycleController.h"
#include "testkit/Await.h"
#include "testkit/LoopbackProductService.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString tool() { return qEnvironmentVariable("BREWBEACON_BINARY_DIR") + u"/tools/signing/brewbeacon-sign-update"_s; }

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
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
    QStringList offered;
    bool upToDate = false;
    void showChecking() override {}
    void showUpToDate(const QString&) override { upToDate = true; }
    QCoro::Task<bool> confirmInstall(AppcastItem item) override
    {
        offered.append(item.displayVersion);
        co_return true;
    }
    void showDownloadProgress(qint64, qint64 total) override { progressTotals.append(total); }
    QCoro::Task<bool> confirmRelaunch(AppcastItem) override { co_return false; }
    void showError(const UpdateError&) override {}
    void dismiss() override {}
};

class SoftwareUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeFile(prefix() + u"/bin/brewbeacon"_s, "#!/bin/sh\necho old\n", true);
        publicKey = run(tool(), {u"generate-keys"_s, work.filePath(u"signing.key"_s)});
        ASSERT_EQ(QByteArray::fromBase64(publicKey.toLatin1()).size(), 32);
        writeFile(work.filePath(u"payload/bin/brewbeacon"_s), "#!/bin/sh\necho new\n", true);
        writeFile(work.filePath(u"payload/share/brewbeacon/VERSION"_s), "2\n");
        QDir().mkpath(updates());
        run(u"tar"_s, {u"-czf"_s, archive(), u"-C"_s, work.filePath(u"payload"_s), u"bin"_s, u"share"_s});
    }

    QString prefix() const { return work.filePath(u"prefix"_s); }
    QString updates() const { return work.filePath(u"updates"_s); }
    QString archive() const { return updates() + u"/brewbeacon-2.tar.gz"_s; }

    // The appcast offering the archive as version 2, signed as the release tool signs it.
    void publish(bool signedRelease = true)
    {
        const QString signature = run(tool(), {u"sign"_s, work.filePath(u"signing.key"_s), archive()});
        ASSERT_TRUE(signature.contains(u"length=\""_s + QString::number(QFileInfo(archive()).size()) + u'"'));
        QString enclosure = u"<enclosure url=\"updates/brewbeacon-2.tar.gz\" type=\"application/gzip\" "_s +
                            (signedRelease ? signature : u"length=\"%1\""_s.arg(QFileInfo(archive()).size())) + u"/>"_s;
        writeFile(updates() + u"/appcast.xml"_s,
                  (u"<?xml version=\"1.0\"?><rss version=\"2.0\" xmlns:sparkle=\"https://brewbeacon.app/xml-namespaces/appcast\">"
                   "<channel><title>BrewBeacon</title><item><title>BrewBeacon 2.0</title><sparkle:version>2</sparkle:version>"
                   "<sparkle:shortVersionString>2.0</sparkle:shortVersionString>"_s +
                   enclosure + u"</item></channel></rss>"_s)
                      .toUtf8());
    }

    std::unique_ptr<SoftwareUpdater> makeUpdater(const QString& currentVersion = u"1"_s)
    {
        SoftwareUpdater::Configuration configuration;
        configuration.feedURL = service.url(u"/appcast.xml"_s);
        configuration.currentVersion = currentVersion;
        configuration.systemVersion = u"6.1"_s;
        configuration.defaults = defaults;
        configuration.session = std::make_shared<NetworkURLSession>();
        configuration.verifier = UpdateSignatureVerifier(publicKey);
        configuration.installer = std::make_shared<TarballUpdateInstaller>(prefix(), u"bin/brewbeacon"_s);
        configuration.userDriver = driver;
        configuration.downloadDirectory = work.filePath(u"downloads"_s);
        return std::make_unique<SoftwareUpdater>(std::move(configuration), delegate);
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
};

} // namespace

TEST_F(SoftwareUpdaterTest, ASignedReleaseIsFoundDownloadedVerifiedAndInstalled)
{
    ASSERT_TRUE(service.isRunning()) << service.errorText().toStdString();
    publish();
    auto updater = makeUpdater();
    EXPECT_EQ(await(updater->runUpdateCycle(true)), std::nullopt);
    EXPECT_EQ(driver->offered, QStringList{u"2.0"_s});
    ASSERT_FALSE(driver->progressTotals.isEmpty()) << "the download reports progress";
    EXPECT_EQ(driver->progressTotals.last(), QFileInfo(archive()).size());
    EXPECT_EQ(readFile(prefix() + u"/bin/brewbeacon"_s), "#!/bin/sh\necho new\n");
    EXPECT_EQ(readFile(prefix() + u"/share/brewbeacon/VERSION"_s), "2\n");
    EXPECT_TRUE(QFileInfo(prefix() + u"/bin/brewbeacon"_s).isExecutable());
    EXPECT_TRUE(QDir(work.filePath(u"downloads"_s)).isEmpty()) << "the download is removed after installing";
    EXPECT_EQ(QDir(prefix()).entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{u"bin"_s, u"share"_s}))
        << "no staging folder is left behind";
    ASSERT_EQ(delegate.finished.size(), 1);
    EXPECT_TRUE(updater->canCheckForUpdates());

    // Running the new version: nothing newer, nothing fetched.
    auto current = makeUpdater(u"2"_s);
    EXPECT_EQ(await(current->runUpdateCycle(true)), std::nullopt);
    EXPECT_TRUE(driver->upToDate);
    EXPECT_EQ(downloads(), 1);
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
    EXPECT_EQ(readFile(prefix() + u"/bin/brewbeacon"_s), "#!/bin/sh\necho old\n");
    EXPECT_TRUE(QDir(work.filePath(u"downloads"_s)).isEmpty()) << "a refused download is deleted";

    publish(false);
    EXPECT_EQ(await(updater->runUpdateCycle(true)), UpdateError::unsignedUpdate());
    EXPECT_EQ(downloads(), 1) << "an unsigned release is never fetched";
    EXPECT_EQ(delegate.finished.size(), 2);
}

TEST(TarballUpdateInstaller, RefusesLinksAndNamesOutsideTheInstallation)
{
    EXPECT_EQ(TarballUpdateInstaller::checkListing(u"drwxr-xr-x u/g 0 2026-01-01 10:00 bin/\n"
                                                   "-rwxr-xr-x u/g 10 2026-01-01 10:00 bin/brewbeacon\n"_s),
              std::nullopt);
    for (const QString& listing : {u"lrwxrwxrwx u/g 0 2026-01-01 10:00 bin/x -> /etc/passwd"_s,
                                   u"-rw-r--r-- u/g 1 2026-01-01 10:00 ../evil"_s,
                                   u"-rw-r--r-- u/g 1 2026-01-01 10:00 bin/../../evil"_s,
                                   u"-rw-r--r-- u/g 1 2026-01-01 10:00 /etc/evil"_s,
                                   u"hrw-r--r-- u/g 0 2026-01-01 10:00 bin/y link to bin/x"_s}) {
        const auto refused = TarballUpdateInstaller::checkListing(listing);
        ASSERT_TRUE(refused.has_value()) << listing.toStdString();
        EXPECT_EQ(refused->kind, UpdateError::Kind::unsafeArchive);
    }
}

TEST(SoftwareUpdateService, MigrationTurnsBothSwitchesOnOnceAndKeepsTheUsersChoice)
{
    QTemporaryDir dir;
    auto defaults = std::make_shared<QSettings>(dir.filePath(u"defaults.ini"_s), QSettings::IniFormat);
    SoftwareUpdateDefaults::applyAutomaticUpdateDefaultsIfNeeded(*defaults);
    EXPECT_TRUE(defaults->value(SoftwareUpdateDefaults::automaticChecksKey).toBool());
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
            SoftwareUpdater::Configuration configuration;
            configuration.feedURL = service.url(u"/appcast.xml"_s);
            configuration.currentVersion = u"2"_s;
            configuration.defaults = defaults;
            configuration.session = std::make_shared<NetworkURLSession>();
            configuration.installer = std::make_shared<TarballUpdateInstaller>(prefix(), u"bin/brewbeacon"_s);
            auto made = std::make_unique<SoftwareUpdater>(std::move(configuration), serviceDelegate);
            framework = made.get();
            return made;
        });
    EXPECT_TRUE(updates.automaticallyChecksForUpdates()) << "on by default";
    EXPECT_TRUE(updates.canCheckForUpdates());

    ASSERT_TRUE(service.behave(u"/appcast.xml"_s, 503, 3));
    updates.checkForUpdates();
    EXPECT_TRUE(updates.isCheckingForUpdates());
    EXPECT_EQ(updates.updateStatusMessage(), SoftwareUpdateService::checkingMessage());
    await(updates.preflightFinished());
    EXPECT_EQ(updates.updateStatusMessage(), u"BrewBeacon could not reach the update feed. Server returned 503."_s);

    ASSERT_TRUE(service.behave(u"/appcast.xml"_s, 200, 3, 0, u"<html><body>maintenance</body></html>"_s));
    updates.checkForUpdates();
    await(updates.preflightFinished());
    EXPECT_EQ(updates.updateStatusMessage(), SoftwareUpdateFeedPreflight::invalidAppcastMessage());

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
