#include "state/SettingsPageOpener.h"

#include <QProcess>
#include <QStandardPaths>

SettingsPageOpener::SettingsPageOpener()
    : SettingsPageOpener(
          [](const QString& program, const QStringList& arguments) {
              const QString path = QStandardPaths::findExecutable(program);
              return !path.isEmpty() && QProcess::startDetached(path, arguments);
          },
          qEnvironmentVariable("XDG_CURRENT_DESKTOP"))
{
}

SettingsPageOpener::SettingsPageOpener(Launcher launcher, QString desktop)
    : m_launcher(std::move(launcher)), m_desktop(std::move(desktop))
{
}

bool SettingsPageOpener::isDesktop(const QString& name) const
{
    // XDG_CURRENT_DESKTOP is a colon-separated list such as "ubuntu:GNOME".
    return m_desktop.split(QLatin1Char(':')).contains(name, Qt::CaseInsensitive);
}

QList<SettingsPageOpener::Command> SettingsPageOpener::wifiSettingsCommands() const
{
    const Command gnome{QStringLiteral("gnome-control-center"), {QStringLiteral("wifi")}};
    const Command plasma{QStringLiteral("systemsettings"), {QStringLiteral("kcm_networkmanagement")}};
    const Command plasma5{QStringLiteral("systemsettings5"), {QStringLiteral("kcm_networkmanagement")}};
    const Command editor{QStringLiteral("nm-connection-editor"), {}};
    if (isDesktop(QStringLiteral("KDE")))
        return {plasma, plasma5, editor, gnome};
    return {gnome, plasma, plasma5, editor};
}

QList<SettingsPageOpener::Command> SettingsPageOpener::startupApplicationsCommands(const QString& autostartDirectory) const
{
    const Command plasma{QStringLiteral("systemsettings"), {QStringLiteral("kcm_autostart")}};
    const Command plasma5{QStringLiteral("systemsettings5"), {QStringLiteral("kcm_autostart")}};
    const Command gnome{QStringLiteral("gnome-session-properties"), {}};
    const Command tweaks{QStringLiteral("gnome-tweaks"), {}};
    const Command folder{QStringLiteral("xdg-open"), {autostartDirectory}};
    if (isDesktop(QStringLiteral("KDE")))
        return {plasma, plasma5, folder};
    return {gnome, tweaks, plasma, plasma5, folder};
}

bool SettingsPageOpener::openWiFiSettings() const { return openFirst(wifiSettingsCommands()); }

bool SettingsPageOpener::openStartupApplications(const QString& autostartDirectory) const
{
    return openFirst(startupApplicationsCommands(autostartDirectory));
}

bool SettingsPageOpener::openFirst(const QList<Command>& commands) const
{
    for (const Command& command : commands) {
        if (m_launcher(command.program, command.arguments))
            return true;
    }
    return false;
}
