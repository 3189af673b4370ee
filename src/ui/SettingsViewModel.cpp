#include "ui/SettingsViewModel.h"

#include "services/SoftwareUpdateService.h"
#include "state/AppState.h"
#include "ui/PropertySnapshot.h"
#include "ui/SettingsNotices.h"
#include "ui/StatusNetworks.h"
#include "ui/UiSymbols.h"
#include "ui/UiText.h"
#include "ui/UiTones.h"

using namespace Qt::StringLiterals;

SettingsViewModel::SettingsViewModel(AppState& state, SoftwareUpdateService& updates, QLocale locale, QObject* parent,
                                     NetworkSettingsFinder hasNetworkSettings)
    : QObject(parent), m_state(state), m_updates(updates), m_locale(std::move(locale)),
      m_hasNetworkSettings(std::move(hasNetworkSettings))
{
    for (auto signal : {&AppState::launchAtLoginChanged, &AppState::launchAtLoginStatusChanged,
                        &AppState::anonymousAnalyticsEnabledChanged, &AppState::locationAuthorizationStatusChanged,
                        &AppState::isConnectingChanged, &AppState::currentSnapshotChanged})
        QObject::connect(&m_state, signal, this, &SettingsViewModel::recompute);
    for (auto signal : {&SoftwareUpdateService::automaticallyChecksForUpdatesChanged,
                        &SoftwareUpdateService::canCheckForUpdatesChanged, &SoftwareUpdateService::isCheckingForUpdatesChanged,
                        &SoftwareUpdateService::updateStatusMessageChanged})
        QObject::connect(&m_updates, signal, this, &SettingsViewModel::recompute);
    recompute();
}

bool SettingsViewModel::launchAtLogin() const { return m_state.launchAtLogin(); }
bool SettingsViewModel::automaticUpdates() const { return m_updates.automaticallyChecksForUpdates(); }
QString SettingsViewModel::updatesManagedMessage() const
{
    return m_updates.updatesManagedBySystem() ? SoftwareUpdateService::packageManagerMessage(m_locale) : QString();
}
bool SettingsViewModel::anonymousAnalytics() const { return m_state.anonymousAnalyticsEnabled(); }

QString SettingsViewModel::checkButtonTitle() const
{
    return uiText(m_updates.isCheckingForUpdates() ? u"Checking Updates"_s : u"Check for Updates"_s, m_locale);
}

QString SettingsViewModel::checkButtonIcon() const
{
    return u"qrc"_s + UiSymbols::iconPath(m_updates.isCheckingForUpdates() ? u"arrow.triangle.2.circlepath"_s
                                                                            : u"arrow.down.circle"_s);
}

bool SettingsViewModel::checkButtonEnabled() const
{
    return m_updates.canCheckForUpdates() && !m_updates.isCheckingForUpdates() && !m_updates.updatesManagedBySystem();
}

bool SettingsViewModel::showsApproveLoginItem() const
{
    return m_state.launchAtLoginStatus() == LaunchAtLoginStatus::requiresApproval;
}

bool SettingsViewModel::showsOpenLocationSettings() const
{
    return StatusNetworks::isLocationNeeded(m_state.locationAuthorizationStatus());
}

void SettingsViewModel::setLocale(const QLocale& locale)
{
    m_locale = locale;
    recomputeAndNotify();
}

void SettingsViewModel::recompute()
{
    update();
    QVariantList shown = propertySnapshot(*this);
    if (shown != m_shown) {
        m_shown = std::move(shown);
        Q_EMIT changed();
    }
}

void SettingsViewModel::recomputeAndNotify()
{
    update();
    m_shown = propertySnapshot(*this);
    Q_EMIT changed();
}

void SettingsViewModel::update()
{
    const auto notice = SettingsNotices::settings(m_state.locationAuthorizationStatus(), m_state.launchAtLoginStatus(),
                                                  m_state.isConnecting(), m_state.currentSnapshot().connectionState.kind(),
                                                  m_updates.updateStatusMessage(), m_locale);
    m_hasNotice = notice.has_value();
    m_noticeTitle = notice ? notice->title : QString();
    m_noticeDetail = notice ? notice->detail : QString();
    m_noticeIcon = notice ? u"qrc"_s + UiSymbols::iconPath(notice->systemImage) : QString();
    m_noticeColor = notice ? UiTones::color(notice->tone) : QString();
    m_noticeLoading = notice && notice->isLoading;
}

void SettingsViewModel::setLaunchAtLogin(bool enabled)
{
    if (enabled != m_state.launchAtLogin())
        m_state.setLaunchAtLogin(enabled);
    recomputeAndNotify(); // a refused change flips the switch back
}

void SettingsViewModel::setAutomaticUpdates(bool enabled)
{
    if (enabled != m_updates.automaticallyChecksForUpdates())
        m_updates.setAutomaticallyChecksForUpdates(enabled);
    recomputeAndNotify();
}

void SettingsViewModel::setAnonymousAnalytics(bool enabled)
{
    if (enabled != m_state.anonymousAnalyticsEnabled())
        m_state.setAnonymousAnalyticsEnabled(enabled);
    recomputeAndNotify();
}

void SettingsViewModel::checkForUpdates() { m_updates.checkForUpdates(); }
void SettingsViewModel::approveLoginItem() { m_state.openLaunchAtLoginSettings(); }
void SettingsViewModel::openLocationSettings()
{
    m_settingsToolMissing = !m_hasNetworkSettings();
    if (!m_settingsToolMissing)
        m_state.openLocationSettings();
    recomputeAndNotify();
}
