#include "state/AppState.h"

#include "connectivity/PortalAddress.h"
#include "portal/PortalAutofillProfileStoring.h"
#include "services/AppAnalyticsEvent.h"
#include "services/AppAnalyticsPreference.h"
#include "services/AppAnalyticsReporting.h"
#include "state/LaunchAtLoginControlling.h"

#include <QPointer>

using namespace Qt::StringLiterals;


AppState::AppState(Collaborators collaborators, QObject* parent)
    : PortalAssistantHost(parent), m_collaborators(std::move(collaborators)), m_cadence(clock())
{
    if (!m_collaborators.defaults)
        m_collaborators.defaults = std::make_shared<QSettings>();
    setLaunchAtLoginState(m_collaborators.launchAtLoginController->status());
    m_anonymousAnalyticsEnabled = AppAnalyticsPreference::isEnabled(*m_collaborators.defaults);
    m_lastTitle = assistantTitle();

    // Each tick asks for one check; a check still running makes the tick a no-op, so they never pile up.
    m_assistantLoop.setInterval(automaticCheckInterval);
    QObject::connect(&m_assistantLoop, &QTimer::timeout, this, &AppState::checkAndConnectPublicWiFi);

    loadPortalAutofillProfile();
}

AppState::~AppState() = default;

const Clock& AppState::clock() const
{
    return m_collaborators.clock ? *m_collaborators.clock : Clock::system();
}

QCoro::Task<> AppState::loadPortalAutofillProfile()
{
    const QPointer<AppState> self(this);
    const auto store = m_collaborators.portalProfileStore;
    if (!store)
        co_return;
    const PortalAutofillProfile loaded = co_await store->load();
    // A profile the user saved while the keyring was still answering is newer than what it returned.
    if (self && !self->m_profileSavedBeforeLoad)
        self->setPortalAutofillProfile(loaded);
}

// MARK: - Derived values

std::optional<PublicNetworkCandidate> AppState::bestPublicNetwork() const
{
    return m_currentSnapshot.bestOpenCandidate();
}

bool AppState::shouldShowLocationGate() const
{
    return m_collaborators.requiresLocationPermissionGate && needsPermission(m_locationAuthorizationStatus);
}

std::optional<QUrl> AppState::portalAssistantURL() const
{
    // Whatever the network named, only a web address is ever handed to the web view or the browser.
    if (const std::optional<QUrl> named = PortalAddress::usable(m_currentSnapshot.portalState.portalURL()))
        return named;
    if (m_currentSnapshot.connectionState.kind() == ConnectionState::Kind::captive)
        return m_collaborators.detectionPageURL;
    return std::nullopt;
}

QString AppState::assistantTitle() const
{
    if (shouldShowLocationGate())
        return u"Wi-Fi permission needed"_s;
    if (m_isConnecting)
        return u"Connecting to cafe Wi-Fi"_s;
    const ConnectionState& state = m_currentSnapshot.connectionState;
    switch (state.kind()) {
    case ConnectionState::Kind::connected:
        return u"Connected to "_s + state.ssid().value_or(QString());
    case ConnectionState::Kind::captive:
        return u"Portal needed for "_s + state.ssid().value_or(QString());
    case ConnectionState::Kind::failed:
        return u"Needs attention"_s;
    case ConnectionState::Kind::offline:
        return u"No internet connection"_s;
    case ConnectionState::Kind::ready:
    case ConnectionState::Kind::scanning:
        break;
    }
    if (bestPublicNetwork())
        return u"Cafe Wi-Fi found"_s;
    if (state.kind() == ConnectionState::Kind::scanning)
        return u"Looking for cafe Wi-Fi"_s;
    return u"BrewBeacon Ready"_s;
}

// MARK: - Assistant

void AppState::refreshLocationAuthorizationStatus()
{
    if (!m_collaborators.locationStatus)
        return;
    const LocationAuthorizationStatus status = m_collaborators.locationStatus();
    if (status != m_locationAuthorizationStatus) {
        setLocationAuthorizationStatus(status);
        m_permissionLogger.log("Location authorization refreshed: %{public}s", logValue(status));
    } else {
        m_permissionLogger.debug("Location authorization refresh unchanged: %{public}s", logValue(status));
    }
}

void AppState::requestLocationPermissionIfNeeded()
{
    if (m_collaborators.locationStatus)
        setLocationAuthorizationStatus(m_collaborators.locationStatus());
    m_permissionLogger.log("Location permission request triggered from status %{public}s", logValue(m_locationAuthorizationStatus));
    // The controller prompts where the answer is still open and reports the status as it is otherwise.
    if (m_collaborators.requestLocationPermission)
        m_collaborators.requestLocationPermission();
}

void AppState::openLocationSettings()
{
    if (m_collaborators.openLocationSettings)
        m_collaborators.openLocationSettings();
}

void AppState::startPublicWiFiAssistant()
{
    if (m_assistantStarted) {
        m_logger.debug("Assistant start skipped: already running");
        return;
    }
    refreshLocationAuthorizationStatus();
    if (m_collaborators.requiresLocationPermissionGate && m_locationAuthorizationStatus != LocationAuthorizationStatus::allowed) {
        clearConnectingUnlessJoining();
        m_logger.log("Assistant start blocked: location status %{public}s", logValue(m_locationAuthorizationStatus));
        return;
    }
    m_logger.log("Assistant started");
    track(AppAnalyticsEventName::assistantStarted);
    m_assistantStarted = true;
    checkAndConnectPublicWiFi();
    m_assistantLoop.start();
}

void AppState::handleSystemWake()
{
    m_logger.log("System wake detected: scheduling auto-connect check");
    checkAndConnectPublicWiFi();
}

void AppState::handleLocationAuthorizationChange(LocationAuthorizationStatus status)
{
    if (status != m_locationAuthorizationStatus) {
        setLocationAuthorizationStatus(status);
        m_permissionLogger.log("Location authorization changed: %{public}s", logValue(status));
    } else {
        m_permissionLogger.debug("Location authorization callback unchanged: %{public}s", logValue(status));
    }
    if (status != LocationAuthorizationStatus::allowed)
        return;
    if (m_assistantStarted)
        checkAndConnectPublicWiFi();
    else
        startPublicWiFiAssistant();
}

void AppState::checkAndConnectPublicWiFi()
{
    refreshLocationAuthorizationStatus();
    if (m_collaborators.requiresLocationPermissionGate && m_locationAuthorizationStatus != LocationAuthorizationStatus::allowed) {
        clearConnectingUnlessJoining();
        m_logger.log("Auto-connect check blocked: location status %{public}s", logValue(m_locationAuthorizationStatus));
        return;
    }
    m_logger.debug("Auto-connect check requested");
    runConnectivityCheck(true);
}

void AppState::refreshSnapshot()
{
    m_logger.log("Manual refresh requested");
    runConnectivityCheck(false);
}

// MARK: - Settings

void AppState::savePortalAutofillProfile(const PortalAutofillProfile& profile)
{
    const PortalAutofillProfile normalized = profile.normalized();
    m_profileSavedBeforeLoad = true;
    setPortalAutofillProfile(normalized);
    storePortalAutofillProfile(normalized);
}

QCoro::Task<> AppState::storePortalAutofillProfile(PortalAutofillProfile profile)
{
    const QPointer<AppState> self(this);
    const auto store = m_collaborators.portalProfileStore;
    // Saved means the keyring said so; until then (and after a refusal) the values live in memory only.
    bool stored = false;
    if (store)
        stored = co_await store->save(profile);
    if (!self)
        co_return;
    if (stored)
        m_logger.log("Portal autofill profile saved: hasName=%{bool,public}d, hasBirthYear=%{bool,public}d",
                     !profile.fullName.isEmpty(), !profile.birthYear.isEmpty());
    else
        m_logger.log("Portal autofill profile save failed: the keyring did not store it");
    Q_EMIT portalAutofillProfileStored(stored);
}

void AppState::setAnonymousAnalyticsEnabled(bool enabled)
{
    if (m_anonymousAnalyticsEnabled != enabled) {
        m_anonymousAnalyticsEnabled = enabled;
        Q_EMIT anonymousAnalyticsEnabledChanged();
    }
    m_collaborators.defaults->setValue(AppAnalyticsPreference::defaultsKey(), enabled);
    m_collaborators.defaults->sync();
    m_logger.log("Anonymous analytics setting changed: enabled=%{bool,public}d", enabled);
    // Turning analytics off sends nothing, not even the news that it was turned off.
    if (enabled)
        trackSettingChanged(u"anonymous_analytics"_s, true);
}

void AppState::setLaunchAtLogin(bool enabled)
{
    const std::optional<LaunchAtLoginError> error = m_collaborators.launchAtLoginController->setEnabled(enabled);
    setLaunchAtLoginState(m_collaborators.launchAtLoginController->status());
    if (!error) {
        m_logger.log("Launch at login changed: enabled=%{bool,public}d", enabled);
        trackSettingChanged(u"launch_at_login"_s, enabled);
        return;
    }
    m_logger.log("Launch at login change failed: requested=%{bool,public}d, resultingStatus=%{public}s", enabled,
                 caseName(m_launchAtLoginStatus));
}

void AppState::openLaunchAtLoginSettings()
{
    m_collaborators.launchAtLoginController->openSystemSettings();
}

void AppState::trackSettingChanged(const QString& setting, bool enabled)
{
    track(AppAnalyticsEventName::settingChanged, {{u"setting"_s, setting}, {u"enabled"_s, analyticsBool(enabled)}});
}

void AppState::track(AppAnalyticsEventName name, QMap<QString, QString> parameters)
{
    if (m_collaborators.analytics)
        m_collaborators.analytics->track(AppAnalyticsEvent::make(name, std::move(parameters), clock()));
}

void AppState::setPortalAssistant(std::shared_ptr<PortalAssisting> assistant)
{
    m_collaborators.portalAssistant = std::move(assistant);
}

// MARK: - Notifying setters

void AppState::clearConnectingUnlessJoining()
{
    // A join run still in flight owns the flag: clearing it would let a second run start beside it.
    if (!m_joinRunInFlight)
        setIsConnecting(false);
}

void AppState::notifyTitleIfChanged()
{
    const QString title = assistantTitle();
    if (title != m_lastTitle) {
        m_lastTitle = title;
        Q_EMIT assistantTitleChanged();
    }
}

void AppState::setCurrentSnapshot(const WiFiSnapshot& snapshot)
{
    if (m_currentSnapshot == snapshot)
        return;
    m_currentSnapshot = snapshot;
    Q_EMIT currentSnapshotChanged();
    notifyTitleIfChanged();
}

void AppState::setIsConnecting(bool value)
{
    if (m_isConnecting == value)
        return;
    m_isConnecting = value;
    Q_EMIT isConnectingChanged();
    notifyTitleIfChanged();
}

void AppState::setConnectingSSID(const std::optional<QString>& value)
{
    if (m_connectingSSID == value)
        return;
    m_connectingSSID = value;
    Q_EMIT connectingSSIDChanged();
}

void AppState::setCurrentPathStatus(const std::optional<NetworkPathStatus>& value)
{
    if (m_currentPathStatus == value)
        return;
    m_currentPathStatus = value;
    Q_EMIT currentPathStatusChanged();
}

void AppState::setLocationAuthorizationStatus(LocationAuthorizationStatus value)
{
    if (m_locationAuthorizationStatus == value)
        return;
    m_locationAuthorizationStatus = value;
    Q_EMIT locationAuthorizationStatusChanged();
    notifyTitleIfChanged();
}

void AppState::setLaunchAtLoginState(LaunchAtLoginStatus status)
{
    if (m_launchAtLoginStatus != status) {
        m_launchAtLoginStatus = status;
        Q_EMIT launchAtLoginStatusChanged();
    }
    const bool enabled = status == LaunchAtLoginStatus::enabled;
    if (m_launchAtLogin != enabled) {
        m_launchAtLogin = enabled;
        Q_EMIT launchAtLoginChanged();
    }
}

void AppState::setPortalAutofillProfile(const PortalAutofillProfile& profile)
{
    if (m_portalAutofillProfile == profile)
        return;
    m_portalAutofillProfile = profile;
    Q_EMIT portalAutofillProfileChanged();
}
