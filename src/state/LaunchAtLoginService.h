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
    // the AppImage that runs this program when there is one, else this program's own file.
    explicit LaunchAtLoginService(QString autostartDirectory = {}, QString executable = {},
                                  SettingsPageOpener opener = SettingsPageOpener());

    LaunchAtLoginStatus status() const override;
    std::optional<LaunchAtLoginError> setEnabled(bool enabled) override;
    void openSystemSettings() override;

    QString entryPath() const;
    static QString defaultAutostartDirectory();
    // The entry's text for an executable, with Exec quoted as desktop entries require.
    static QString entryText(const QString& executable);

private:
    QString m_directory;
    QString m_executable;
    SettingsPageOpener m_opener;
};
