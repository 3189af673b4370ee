#include "state/LaunchAtLoginService.h"
#include "state/SettingsPageOpener.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Machine {
    QStringList installed;
    QStringList started;

    SettingsPageOpener opener(const QString& desktop, const QStringList& applicationDirs = {})
    {
        return SettingsPageOpener(
            [this](const QString& program, const QStringList& arguments) {
                started << (program + u' ' + arguments.join(u' ')).trimmed();
                return true;
            },
            desktop, [this](const QString& program) { return installed.contains(program); }, applicationDirs);
    }
};

void write(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

TEST(SettingsPageOpenerTests, EachDesktopGetsItsOwnNetworkSettingsAndNothingInstalledIsReported)
{
    Machine machine;
    machine.installed = {u"systemsettings5"_s, u"gnome-control-center"_s};
    EXPECT_TRUE(machine.opener(u"KDE"_s).openWiFiSettings());
    EXPECT_EQ(machine.started, QStringList{u"systemsettings5 kcm_networkmanagement"_s}) << "only an installed program is started";

    machine.started.clear();
    EXPECT_TRUE(machine.opener(u"ubuntu:GNOME"_s).openWiFiSettings());
    EXPECT_EQ(machine.started, QStringList{u"gnome-control-center wifi"_s});

    machine.installed.clear();
    machine.started.clear();
    EXPECT_EQ(machine.opener(u"XFCE"_s).networkSettingsCommand(), std::nullopt);
    EXPECT_FALSE(machine.opener(u"XFCE"_s).openWiFiSettings());
    EXPECT_TRUE(machine.started.isEmpty());
}

TEST(SettingsPageOpenerTests, OtherDesktopsUseTheConnectionEditorsApplicationEntry)
{
    QTemporaryDir local, system;
    write(local.filePath(u"nm-connection-editor.desktop"_s), "[Desktop Entry]\nName=Editor\nHidden=true\n");
    write(system.filePath(u"nm-connection-editor.desktop"_s),
          "[Desktop Entry]\nName=Advanced Network Configuration\nExec=/opt/nm/bin/nm-connection-editor --show %U\n"
          "[Desktop Action new]\nExec=nm-connection-editor --create\n");
    Machine machine;
    machine.installed = {u"/opt/nm/bin/nm-connection-editor"_s, u"gnome-control-center"_s};
    const SettingsPageOpener xfce = machine.opener(u"XFCE"_s, {local.path(), system.path()});
    EXPECT_EQ(xfce.networkSettingsCommand(),
              (SettingsPageOpener::Command{u"/opt/nm/bin/nm-connection-editor"_s, {u"--show"_s}}))
        << "a hidden user entry is skipped, the field code and the other group's Exec are not taken";
    EXPECT_TRUE(xfce.openWiFiSettings());
    EXPECT_EQ(machine.started, QStringList{u"/opt/nm/bin/nm-connection-editor --show"_s});
    EXPECT_EQ(SettingsPageOpener::desktopEntryCommand(local.filePath(u"missing.desktop"_s)), std::nullopt);
}

TEST(SettingsPageOpenerTests, StartupApplicationsFallBackToTheServicesOwnFolder)
{
    Machine machine;
    machine.installed = {u"xdg-open"_s};
    LaunchAtLoginService service(u"/tmp/cfg/autostart"_s, u"/usr/bin/true"_s, machine.opener(u"ubuntu:GNOME"_s));
    service.openSystemSettings();
    EXPECT_EQ(machine.started, QStringList{u"xdg-open /tmp/cfg/autostart"_s});
}
