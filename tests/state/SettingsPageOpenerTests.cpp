#include "state/LaunchAtLoginService.h"
#include "state/SettingsPageOpener.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SettingsPageOpenerTests, FallsBackUntilAProgramStartsAndStopsThere)
{
    QStringList tried;
    QStringList installed{u"systemsettings5"_s, u"xdg-open"_s};
    auto launcher = [&](const QString& program, const QStringList& arguments) {
        tried << (program + u' ' + arguments.join(u' ')).trimmed();
        return installed.contains(program);
    };
    const SettingsPageOpener plasma(launcher, u"KDE"_s);
    EXPECT_TRUE(plasma.openWiFiSettings());
    EXPECT_EQ(tried, (QStringList{u"systemsettings kcm_networkmanagement"_s, u"systemsettings5 kcm_networkmanagement"_s}));

    // The startup page of the service's own folder, reached through the last resort on a bare desktop.
    tried.clear();
    installed = {u"xdg-open"_s};
    LaunchAtLoginService service(u"/tmp/cfg/autostart"_s, u"/usr/bin/true"_s, SettingsPageOpener(launcher, u"ubuntu:GNOME"_s));
    service.openSystemSettings();
    ASSERT_FALSE(tried.isEmpty());
    EXPECT_EQ(tried.constFirst(), u"gnome-session-properties"_s);
    EXPECT_EQ(tried.constLast(), u"xdg-open /tmp/cfg/autostart"_s);

    installed.clear();
    EXPECT_FALSE(SettingsPageOpener(launcher, QString()).openWiFiSettings());
}
