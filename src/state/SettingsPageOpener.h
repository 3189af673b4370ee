#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Opens the desktop's settings page nearest to what the user has to change: the Wi-Fi and network
// permissions page (where names and joins are allowed) or the startup-applications page. Tries the
// desktop's own settings program first, then generic ones; the first one installed is started detached.
class SettingsPageOpener {
public:
    // Starts a program detached; returns whether it started.
    using Launcher = std::function<bool(const QString& program, const QStringList& arguments)>;
    struct Command {
        QString program;
        QStringList arguments;
        bool operator==(const Command&) const = default;
    };

    SettingsPageOpener();
    explicit SettingsPageOpener(Launcher launcher, QString desktop);

    bool openWiFiSettings() const;
    bool openStartupApplications(const QString& autostartDirectory) const;

    // The commands tried, in order, for the desktop named by XDG_CURRENT_DESKTOP.
    QList<Command> wifiSettingsCommands() const;
    QList<Command> startupApplicationsCommands(const QString& autostartDirectory) const;

private:
    bool openFirst(const QList<Command>& commands) const;
    bool isDesktop(const QString& name) const;

    Launcher m_launcher;
    QString m_desktop;
};
