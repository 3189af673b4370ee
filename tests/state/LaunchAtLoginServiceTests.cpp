#include "state/LaunchAtLoginService.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class LaunchAtLoginServiceTests : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }

    // An executable file whose path needs the desktop entry's quoting and escaping.
    QString makeProgram(const QString& name)
    {
        const QString path = root.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    }

    void writeEntry(const LaunchAtLoginService& service, const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(service.entryPath()).path());
        QFile file(service.entryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir root;
};

} // namespace

TEST_F(LaunchAtLoginServiceTests, RegisteringWritesAnEntryWhoseProgramReadsBackAsEnabled)
{
    for (const QString& name : {u"brewbeacon"_s, u"Brew Beacon $HOME `x` \"q\" 100% back\\slash"_s}) {
        const QString program = makeProgram(name);
        LaunchAtLoginService service(root.filePath(u"autostart"_s), program);
        EXPECT_EQ(service.status(), LaunchAtLoginStatus::notRegistered);

        EXPECT_EQ(service.setEnabled(true), std::nullopt);
        EXPECT_EQ(service.status(), LaunchAtLoginStatus::enabled) << name.toStdString();
        QFile entry(service.entryPath());
        ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
        const QByteArray text = entry.readAll();
        EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
        EXPECT_TRUE(text.contains("\nType=Application\n"));

        // Registering twice is harmless; the program disappearing reads as notFound.
        EXPECT_EQ(service.setEnabled(true), std::nullopt);
        ASSERT_TRUE(QFile::remove(program));
        EXPECT_EQ(service.status(), LaunchAtLoginStatus::notFound);

        EXPECT_EQ(service.setEnabled(false), std::nullopt);
        EXPECT_FALSE(QFile::exists(service.entryPath()));
        EXPECT_EQ(service.status(), LaunchAtLoginStatus::notRegistered);
        EXPECT_EQ(service.setEnabled(false), std::nullopt); // nothing left to remove
    }
}

TEST_F(LaunchAtLoginServiceTests, EntriesSwitchedOffOrBrokenReadAsNotRegisteredOrNotFound)
{
    const QString program = makeProgram(u"brewbeacon"_s);
    LaunchAtLoginService service(root.filePath(u"autostart"_s), program);
    const QByteArray exec = "Exec=" + program.toUtf8() + "\n";

    writeEntry(service, "[Desktop Entry]\nType=Application\n" + exec + "Hidden=true\n");
    EXPECT_EQ(service.status(), LaunchAtLoginStatus::notRegistered);
    writeEntry(service, "[Desktop Entry]\nType=Application\n" + exec + "X-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(service.status(), LaunchAtLoginStatus::notRegistered);
    // Keys of another group do not count for the entry.
    writeEntry(service, "[Desktop Action x]\nType=Application\n" + exec);
    EXPECT_EQ(service.status(), LaunchAtLoginStatus::notRegistered);
    writeEntry(service, QByteArray("\x00\xff\xfe[Desktop\n=\n\x01", 15));
    EXPECT_EQ(service.status(), LaunchAtLoginStatus::notRegistered);
    writeEntry(service, "[Desktop Entry]\nType=Application\nExec=\n");
    EXPECT_EQ(service.status(), LaunchAtLoginStatus::notFound);
    writeEntry(service, "[Desktop Entry]\nType=Application\nExec=/nonexistent/brewbeacon --hidden\n");
    EXPECT_EQ(service.status(), LaunchAtLoginStatus::notFound);

    // Turning it on replaces whatever was there with our own entry.
    writeEntry(service, "[Desktop Entry]\nType=Application\n" + exec + "Hidden=true\n");
    EXPECT_EQ(service.setEnabled(true), std::nullopt);
    EXPECT_EQ(service.status(), LaunchAtLoginStatus::enabled);
}

TEST_F(LaunchAtLoginServiceTests, FailuresAreReportedNotSwallowed)
{
    const QString blocker = root.filePath(u"not-a-folder"_s);
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    LaunchAtLoginService service(blocker + u"/autostart"_s, makeProgram(u"brewbeacon"_s));
    const auto error = service.setEnabled(true);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, LaunchAtLoginError::Kind::registerFailed);
    EXPECT_EQ(service.status(), LaunchAtLoginStatus::notRegistered);
}

TEST_F(LaunchAtLoginServiceTests, DefaultFolderFollowsAnAbsoluteConfigHomeOnly)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", root.path().toUtf8());
    EXPECT_EQ(LaunchAtLoginService::defaultAutostartDirectory(), root.filePath(u"autostart"_s));
    EXPECT_EQ(LaunchAtLoginService().entryPath(), root.filePath(u"autostart/com.tolvek.brewbeacon.desktop"_s));
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(LaunchAtLoginService::defaultAutostartDirectory(), QDir::home().filePath(u".config/autostart"_s));
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

TEST_F(LaunchAtLoginServiceTests, LoginStartsTheInstalledProgramRatherThanABuildFolderCopy)
{
    const QString installed = makeProgram(u"installed-brewbeacon"_s);
    const QString running = root.filePath(u"build/dev/src/app/brewbeacon"_s);
    EXPECT_EQ(LaunchAtLoginService::startupProgram({}, installed, running), installed);
    EXPECT_EQ(LaunchAtLoginService::startupProgram(u"/home/u/BrewBeacon.AppImage"_s, installed, running),
              u"/home/u/BrewBeacon.AppImage"_s);
    // Nothing installed (or only a file that cannot run): the running program is all there is.
    EXPECT_EQ(LaunchAtLoginService::startupProgram({}, root.filePath(u"missing"_s), running), running);
    QFile plain(root.filePath(u"not-executable"_s));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_EQ(LaunchAtLoginService::startupProgram({}, plain.fileName(), running), running);
}
