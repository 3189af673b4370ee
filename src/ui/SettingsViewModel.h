#pragma once

#include "ui/NetworkSettingsTool.h"

#include <QLocale>
#include <QObject>
#include <QVariantList>

class AppState;
class SoftwareUpdateService;

// The settings tab: three switches, the update check button, the buttons that appear only while they
// apply, and the notice at the top.
class SettingsViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin NOTIFY changed)
    Q_PROPERTY(bool automaticUpdates READ automaticUpdates NOTIFY changed)
    // Empty unless the package manager updates the installation; then the switch and button say so.
    Q_PROPERTY(QString updatesManagedMessage READ updatesManagedMessage NOTIFY changed)
    Q_PROPERTY(bool anonymousAnalytics READ anonymousAnalytics NOTIFY changed)
    Q_PROPERTY(QString checkButtonTitle READ checkButtonTitle NOTIFY changed)
    Q_PROPERTY(QString checkButtonIcon READ checkButtonIcon NOTIFY changed)
    Q_PROPERTY(bool checkButtonEnabled READ checkButtonEnabled NOTIFY changed)
    Q_PROPERTY(bool showsApproveLoginItem READ showsApproveLoginItem NOTIFY changed)
    Q_PROPERTY(bool showsOpenLocationSettings READ showsOpenLocationSettings NOTIFY changed)
    Q_PROPERTY(bool hasNotice READ hasNotice NOTIFY changed)
    Q_PROPERTY(QString noticeTitle READ noticeTitle NOTIFY changed)
    Q_PROPERTY(QString noticeDetail READ noticeDetail NOTIFY changed)
    Q_PROPERTY(QString noticeIcon READ noticeIcon NOTIFY changed)
    Q_PROPERTY(QString noticeColor READ noticeColor NOTIFY changed)
    Q_PROPERTY(bool noticeLoading READ noticeLoading NOTIFY changed)
    Q_PROPERTY(QString settingsToolMessage READ settingsToolMessage NOTIFY changed)

public:
    SettingsViewModel(AppState& state, SoftwareUpdateService& updates, QLocale locale, QObject* parent = nullptr,
                      NetworkSettingsFinder hasNetworkSettings = installedNetworkSettings());

    bool launchAtLogin() const;
    bool automaticUpdates() const;
    QString updatesManagedMessage() const;
    bool anonymousAnalytics() const;
    QString checkButtonTitle() const;
    QString checkButtonIcon() const;
    bool checkButtonEnabled() const;
    bool showsApproveLoginItem() const;
    bool showsOpenLocationSettings() const;
    bool hasNotice() const { return m_hasNotice; }
    QString noticeTitle() const { return m_noticeTitle; }
    QString noticeDetail() const { return m_noticeDetail; }
    QString noticeIcon() const { return m_noticeIcon; }
    QString noticeColor() const { return m_noticeColor; }
    bool noticeLoading() const { return m_noticeLoading; }
    // Set when "Open Network Settings" found no program to open; empty otherwise.
    QString settingsToolMessage() const { return m_settingsToolMissing ? missingNetworkSettingsText(m_locale) : QString(); }

    void setLocale(const QLocale& locale);

    Q_INVOKABLE void setLaunchAtLogin(bool enabled);
    Q_INVOKABLE void setAutomaticUpdates(bool enabled);
    Q_INVOKABLE void setAnonymousAnalytics(bool enabled);
    Q_INVOKABLE void checkForUpdates();
    Q_INVOKABLE void approveLoginItem();
    Q_INVOKABLE void openLocationSettings();

Q_SIGNALS:
    void changed();

private:
    // Notifies only when a shown value changed.
    void recompute();
    // Notifies always: a switch the user flipped must snap back when the change was refused.
    void recomputeAndNotify();
    void update();

    AppState& m_state;
    SoftwareUpdateService& m_updates;
    QLocale m_locale;
    NetworkSettingsFinder m_hasNetworkSettings;
    bool m_settingsToolMissing = false;
    QVariantList m_shown; // the values last announced with changed()
    bool m_hasNotice = false;
    QString m_noticeTitle;
    QString m_noticeDetail;
    QString m_noticeIcon;
    QString m_noticeColor;
    bool m_noticeLoading = false;
};
