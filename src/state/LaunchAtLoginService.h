#pragma once

#include "state/LaunchAtLoginControlling.h"
#include "state/SettingsPageOpener.h"

// Launch at login as an XDG autostart entry: <config home>/autostart/com.tolvek.brewbeacon.desktop.
// The entry itself is the registration, so the status is read from it every time:
// - present and active → enabled;
// - present but naming a program that no longer exists → notFound;
// - absent, or switched off (Hidden=true, X-GNOME-Autostart-enabled=false) by the desktop → notRegistered.
// requiresApproval never occurs: autostart entries need no approval.
class LaunchAtLoginService : public LaunchAtLoginControlling {
public:
    // autostartDirectory empty: $XDG_CONFIG_HOME/autostart, else ~/.config/autostart. executable empty:
    // the program login should start (see startupProgram) for this process.
    explicit LaunchAtLoginService(QString autostartDirectory = {}, QString executable = {},
                                  SettingsPageOpener opener = SettingsPageOpener());

    LaunchAtLoginStatus status() const override;
    std::optional<LaunchAtLoginError> setEnabled(bool enabled) override;
    void openSystemSettings() override;

    QString entryPath() const;
    static QString defaultAutostartDirectory();
    // The AppImage that runs this program when there is one; else the installed program when it exists,
    // so a copy started from a build folder does not tie login to that folder; else the running file.
    static QString startupProgram(const QString& appImage, const QString& installedProgram, const QString& runningProgram);
    // The entry's text for an executable, with Exec quoted as desktop entries require.
    static QString entryText(const QString& executable);

private:
    QString m_directory;
    QString m_executable;
    SettingsPageOpener m_opener;
};
