#include "state/SettingsPageOpener.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

bool isInstalled(const QString& program)
{
    if (QFileInfo(program).isAbsolute())
        return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

QStringList splitExec(const QString& exec)
{
    QStringList parts;
    for (const QString& part : QProcess::splitCommand(exec)) {
        // Field codes stand for files or URLs the launcher would pass; settings pages take none.
        if (part.size() == 2 && part.front() == u'%')
            continue;
        parts.append(part);
    }
    return parts;
}

} // namespace

SettingsPageOpener::SettingsPageOpener()
    : SettingsPageOpener(
          [](const QString& program, const QStringList& arguments) {
              const QString path = QFileInfo(program).isAbsolute() ? program : QStandardPaths::findExecutable(program);
              return !path.isEmpty() && QProcess::startDetached(path, arguments);
          },
          qEnvironmentVariable("XDG_CURRENT_DESKTOP"), isInstalled,
          QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
{
}

SettingsPageOpener::SettingsPageOpener(Launcher launcher, QString desktop, Locator locate, QStringList applicationDirs)
    : m_launcher(std::move(launcher)), m_desktop(std::move(desktop)),
      m_locate(locate ? std::move(locate) : Locator(isInstalled)), m_applicationDirs(std::move(applicationDirs))
{
}

bool SettingsPageOpener::isDesktop(const QString& name) const
{
    // XDG_CURRENT_DESKTOP is a colon-separated list such as "ubuntu:GNOME".
    return m_desktop.split(QLatin1Char(':')).contains(name, Qt::CaseInsensitive);
}

std::optional<SettingsPageOpener::Command> SettingsPageOpener::desktopEntryCommand(const QString& path)
{
    QFile file(path);
    // An application entry is a few kilobytes; anything far larger is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 256 * 1024)
        return std::nullopt;
    bool inMainGroup = false;
    std::optional<Command> command;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == "[Desktop Entry]"_L1;
            continue;
        }
        if (!inMainGroup)
            continue;
        if (line == "Hidden=true"_L1) // a user's copy that removes the entry
            return std::nullopt;
        if (line.startsWith("Exec="_L1)) {
            const QStringList parts = splitExec(line.mid(5));
            if (!parts.isEmpty())
                command = Command{parts.first(), parts.mid(1)};
        }
    }
    return command;
}

std::optional<SettingsPageOpener::Command> SettingsPageOpener::connectionEditorEntry() const
{
    for (const QString& dir : m_applicationDirs) {
        if (auto command = desktopEntryCommand(dir + u"/nm-connection-editor.desktop"_s))
            return command;
    }
    return std::nullopt;
}

QList<SettingsPageOpener::Command> SettingsPageOpener::wifiSettingsCommands() const
{
    const Command gnome{u"gnome-control-center"_s, {u"wifi"_s}};
    const Command plasma{u"systemsettings"_s, {u"kcm_networkmanagement"_s}};
    const Command plasma5{u"systemsettings5"_s, {u"kcm_networkmanagement"_s}};
    const Command editor = connectionEditorEntry().value_or(Command{u"nm-connection-editor"_s, {}});
    if (isDesktop(u"KDE"_s))
        return {plasma, plasma5, editor, gnome};
    if (isDesktop(u"GNOME"_s) || isDesktop(u"Unity"_s))
        return {gnome, editor, plasma, plasma5};
    // Other desktops ship no network page of their own; NetworkManager's editor works everywhere.
    return {editor, gnome, plasma, plasma5};
}

QList<SettingsPageOpener::Command> SettingsPageOpener::startupApplicationsCommands(const QString& autostartDirectory) const
{
    const Command plasma{u"systemsettings"_s, {u"kcm_autostart"_s}};
    const Command plasma5{u"systemsettings5"_s, {u"kcm_autostart"_s}};
    const Command gnome{u"gnome-session-properties"_s, {}};
    const Command tweaks{u"gnome-tweaks"_s, {}};
    const Command folder{u"xdg-open"_s, {autostartDirectory}};
    if (isDesktop(u"KDE"_s))
        return {plasma, plasma5, folder};
    return {gnome, tweaks, plasma, plasma5, folder};
}

std::optional<SettingsPageOpener::Command> SettingsPageOpener::networkSettingsCommand() const
{
    for (const Command& command : wifiSettingsCommands()) {
        if (m_locate(command.program))
            return command;
    }
    return std::nullopt;
}

bool SettingsPageOpener::openWiFiSettings() const { return openFirst(wifiSettingsCommands()); }

bool SettingsPageOpener::openStartupApplications(const QString& autostartDirectory) const
{
    return openFirst(startupApplicationsCommands(autostartDirectory));
}

bool SettingsPageOpener::openFirst(const QList<Command>& commands) const
{
    for (const Command& command : commands) {
        if (m_locate(command.program) && m_launcher(command.program, command.arguments))
            return true;
    }
    return false;
}
