#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Opens the desktop's settings page nearest to what the user has to change: the network settings (where
// Wi-Fi is switched on and the permission to scan and join is granted) or the startup-applications
// page. The desktop's own settings program comes first: GNOME's Settings, KDE's System Settings, and on
// any other desktop the application entry of NetworkManager's connection editor. The first one installed
// is started detached; none installed is reported, so the window can say so.
class SettingsPageOpener {
public:
    // Starts a program detached; returns whether it started.
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;
    // Whether a program (a name on PATH or an absolute path) is installed.
    using Locator = std::function<bool(const QString& program)>;
    struct Command {
        QString program;
        QStringList arguments;
        bool operator==(const Command&) const = default;
    };

    SettingsPageOpener();
    // `applicationDirs`: where application entries (.desktop files) are looked up, in order.
    SettingsPageOpener(Launcher launcher, QString desktop, Locator locate = {}, QStringList applicationDirs = {});

    bool openWiFiSettings() const;
    bool openStartupApplications(const QString& autostartDirectory) const;

    // The network settings program this desktop would start, or none when nothing suitable is installed.
    std::optional<Command> networkSettingsCommand() const;

    // The commands tried, in order, for the desktop named by XDG_CURRENT_DESKTOP.
    QList<Command> wifiSettingsCommands() const;
    QList<Command> startupApplicationsCommands(const QString& autostartDirectory) const;

    // The command of an application entry's Exec line, without field codes; none when the entry is
    // missing, hidden, unreadable or has no Exec line.
    static std::optional<Command> desktopEntryCommand(const QString& path);

private:
    bool openFirst(const QList<Command>& commands) const;
    bool isDesktop(const QString& name) const;
    std::optional<Command> connectionEditorEntry() const;

    Launcher m_launcher;
    QString m_desktop;
    Locator m_locate;
    QStringList m_applicationDirs;
};
