#pragma once

#include "connectivity/NetworkPathStatus.h"
#include "portal/PortalAutofillProfile.h"
#include "services/AppAnalyticsEventName.h"
#include "state/ConnectedCheckCadence.h"
#include "state/LaunchAtLoginStatus.h"
#include "state/LocationAuthorizationStatus.h"
#include "state/OpenNetworkOfferMemory.h"
#include "state/PortalAssistantHost.h"
#include "state/PortalOpeningMemory.h"
#include "support/Logger.h"
#include "wifi/WiFiConnectionOutcome.h"
#include "wifi/WiFiSnapshot.h"

#include <QCoroTask>
#include <QSettings>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class AppAnalyticsReporting;
class CaptivePortalHandling;
class LaunchAtLoginControlling;
class NetworkPathMonitoring;
class PortalAssisting;
class PortalAutofillProfileStoring;
class WiFiConnectionRouteOutcome;
class WiFiConnectionRouting;
class WiFiPowerControlling;
class WiFiScanning;

// The one orchestrator of the application, on the main thread: the state the windows and the tray
// show, the assistant loop that keeps it current, and the actions that join networks and open the
// portal assistant. Every platform dependency comes in through its interface. Setters notify only
// when a value really changes.
class AppState : public PortalAssistantHost {
    Q_OBJECT
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(bool isConnecting READ isConnecting NOTIFY isConnectingChanged)
    Q_PROPERTY(bool anonymousAnalyticsEnabled READ anonymousAnalyticsEnabled NOTIFY anonymousAnalyticsEnabledChanged)
    Q_PROPERTY(QString assistantTitle READ assistantTitle NOTIFY assistantTitleChanged)

public:
    struct Collaborators {
        std::shared_ptr<WiFiScanning> scanner;
        std::shared_ptr<CaptivePortalHandling> portal;
        std::shared_ptr<NetworkPathMonitoring> networkPathMonitor;
        std::shared_ptr<WiFiConnectionRouting> connectionRouter;
        std::shared_ptr<WiFiPowerControlling> wifiPowerController;
        std::shared_ptr<LaunchAtLoginControlling> launchAtLoginController;
        std::shared_ptr<AppAnalyticsReporting> analytics;
        std::shared_ptr<PortalAutofillProfileStoring> portalProfileStore;
        // None until the application is running; without it portal openings are logged and dropped.
        std::shared_ptr<PortalAssisting> portalAssistant;
        // The latest reading of the location gate (on Linux: NetworkManager's permissions).
        std::function<LocationAuthorizationStatus()> locationStatus;
        // Asks for the permission where asking is possible (the new reading arrives through
        // `handleLocationAuthorizationChange`), and opens the desktop's page where it is granted.
        std::function<void()> requestLocationPermission;
        std::function<void()> openLocationSettings;
        bool requiresLocationPermissionGate = true;
        std::shared_ptr<QSettings> defaults;
        // The detection page, opened when a portal gave no address of its own.
        QUrl detectionPageURL;
        const Clock* clock = nullptr; // the system clock when null
    };

    static constexpr int strongWiFiQualityThreshold = 65;
    static constexpr std::chrono::milliseconds automaticCheckInterval{1000};

    explicit AppState(Collaborators collaborators, QObject* parent = nullptr);
    ~AppState() override;

    // The process-wide instance over NetworkManager, the keyring and the product service.
    static AppState& shared();

    // Observable state.
    bool launchAtLogin() const { return m_launchAtLogin; }
    const WiFiSnapshot& currentSnapshot() const { return m_currentSnapshot; }
    LaunchAtLoginStatus launchAtLoginStatus() const { return m_launchAtLoginStatus; }
    LocationAuthorizationStatus locationAuthorizationStatus() const { return m_locationAuthorizationStatus; }
    bool isConnecting() const { return m_isConnecting; }
    const std::optional<QString>& connectingSSID() const { return m_connectingSSID; }
    const std::optional<NetworkPathStatus>& currentPathStatus() const { return m_currentPathStatus; }
    bool anonymousAnalyticsEnabled() const { return m_anonymousAnalyticsEnabled; }
    PortalAutofillProfile portalAutofillProfile() const override { return m_portalAutofillProfile; }
    const std::optional<WiFiConnectionOutcome>& latestConnectionOutcome() const { return m_latestConnectionOutcome; }
    bool isAssistantStarted() const { return m_assistantStarted; }
    bool isCheckingConnectivity() const { return m_isCheckingConnectivity; }
    const ConnectedCheckCadence& cadence() const { return m_cadence; }

    // Derived values for the windows and the menu.
    std::optional<PublicNetworkCandidate> bestPublicNetwork() const;
    bool shouldShowLocationGate() const;
    bool requiresLocationPermissionGate() const { return m_collaborators.requiresLocationPermissionGate; }
    std::optional<QUrl> portalAssistantURL() const;
    QString assistantTitle() const;

    // The assistant.
    void startPublicWiFiAssistant();
    void checkAndConnectPublicWiFi() override;
    void refreshSnapshot();
    void handleSystemWake();
    // A new reading of the location gate; starts the assistant once it is allowed.
    void handleLocationAuthorizationChange(LocationAuthorizationStatus status);

    // Actions.
    void connectTo(const PublicNetworkCandidate& candidate);
    void openPortal();
    void savePortalAutofillProfile(const PortalAutofillProfile& profile) override;
    void setAnonymousAnalyticsEnabled(bool enabled);
    void setLaunchAtLogin(bool enabled);
    void openLaunchAtLoginSettings();
    // The location gate.
    void refreshLocationAuthorizationStatus();
    void requestLocationPermissionIfNeeded();
    void openLocationSettings();
    AppAnalyticsReporting& analytics() override { return *m_collaborators.analytics; }

    using OpenNetworksHandler = std::function<void(const QList<PublicNetworkCandidate>&)>;
    void setOpenNetworksDetectedHandler(OpenNetworksHandler handler) { m_openNetworksDetectedHandler = std::move(handler); }
    void setPortalAssistant(std::shared_ptr<PortalAssisting> assistant);

    // Runs the check and resolves when it has finished (tests and the self-test await it).
    QCoro::Task<> runConnectivityCheckToCompletion(bool shouldAutoConnect);
    // Resolves when the running join run (if any) has been applied.
    QCoro::Task<> joinRunFinished();

Q_SIGNALS:
    void launchAtLoginChanged();
    void currentSnapshotChanged();
    void launchAtLoginStatusChanged();
    void locationAuthorizationStatusChanged();
    void isConnectingChanged();
    void connectingSSIDChanged();
    void currentPathStatusChanged();
    void anonymousAnalyticsEnabledChanged();
    void portalAutofillProfileChanged();
    void assistantTitleChanged();
    void connectivityCheckFinished();
    void joinRunFinishedSignal();
    // The keyring's answer to a save: true once the profile is stored there.
    void portalAutofillProfileStored(bool stored);

private:
    // Checks (AppStateConnectivityCheck.cpp).
    void runConnectivityCheck(bool shouldAutoConnect);
    QCoro::Task<> connectivityCheck(bool shouldAutoConnect);
    void powerOffBranch(bool shouldAutoConnect);
    QCoro::Task<> connectedBranch(bool shouldAutoConnect, QString ssid, NetworkPathStatus path);
    QCoro::Task<> withoutSSIDBranch(bool shouldAutoConnect, NetworkPathStatus path);
    void satisfiedWithoutSSIDBranch(bool shouldAutoConnect, const std::optional<WiFiSnapshot>& scan, PortalState portal);
    void offlineBranch(bool shouldAutoConnect, WiFiSnapshot scan);
    void publishSnapshotIfNeeded(const WiFiSnapshot& snapshot);
    void trackConnectionStateChangedIfNeeded();

    // Actions (AppStateActions.cpp).
    void connectAutomaticallyOrPresent(const QList<PublicNetworkCandidate>& candidates);
    void presentOpenNetworksIfNeeded(const QList<PublicNetworkCandidate>& candidates);
    void openDetectedPortalIfNeeded(const WiFiSnapshot& snapshot, bool shouldAutoConnect);
    void connect(const QList<PublicNetworkCandidate>& candidates, bool allowWeakSignal, bool allowsAutomaticPortal);
    QCoro::Task<> joinRun(QList<PublicNetworkCandidate> candidates, bool allowWeakSignal);
    void applyConnectionRouteOutcome(const WiFiConnectionRouteOutcome& route);
    void applyConnectionOutcome(const WiFiConnectionOutcome& outcome);
    void attemptPortalAutomatically(const QUrl& url);
    void openPortal(const QUrl& url);
    void trackSettingChanged(const QString& setting, bool enabled);
    void track(AppAnalyticsEventName name, QMap<QString, QString> parameters = {});

    // Setters that notify only on change.
    void setCurrentSnapshot(const WiFiSnapshot& snapshot);
    void setIsConnecting(bool value);
    void setConnectingSSID(const std::optional<QString>& value);
    void setCurrentPathStatus(const std::optional<NetworkPathStatus>& value);
    void setLocationAuthorizationStatus(LocationAuthorizationStatus value);
    void setLaunchAtLoginState(LaunchAtLoginStatus status);
    void setPortalAutofillProfile(const PortalAutofillProfile& profile);
    void notifyTitleIfChanged();
    void clearConnectingUnlessJoining();

    QCoro::Task<> loadPortalAutofillProfile();
    QCoro::Task<> storePortalAutofillProfile(PortalAutofillProfile profile);

    const Clock& clock() const;
    QDateTime now() const { return clock().now(); }

    Collaborators m_collaborators;
    Logger m_logger{QStringLiteral("WiFiAssistant")};
    Logger m_permissionLogger{QStringLiteral("LocationPermission")};

    bool m_launchAtLogin = false;
    WiFiSnapshot m_currentSnapshot = WiFiSnapshot::scanning();
    LaunchAtLoginStatus m_launchAtLoginStatus = LaunchAtLoginStatus::unknown;
    LocationAuthorizationStatus m_locationAuthorizationStatus = LocationAuthorizationStatus::unknown;
    bool m_isConnecting = false;
    bool m_joinRunInFlight = false;
    // The latest check and join belong to the state, like everything else it starts: one still waiting
    // on a timer or a reply when the app quits stays held here, not by nothing once the loop is gone.
    std::optional<QCoro::Task<>> m_checkRun;
    std::optional<QCoro::Task<>> m_joinRun;
    std::optional<QString> m_connectingSSID;
    std::optional<NetworkPathStatus> m_currentPathStatus;
    bool m_anonymousAnalyticsEnabled = true;
    PortalAutofillProfile m_portalAutofillProfile;
    bool m_profileSavedBeforeLoad = false;

    bool m_assistantStarted = false;
    QTimer m_assistantLoop;
    bool m_isCheckingConnectivity = false;
    std::optional<QDateTime> m_lastAssistantRun;
    ConnectedCheckCadence m_cadence;
    std::optional<WiFiConnectionOutcome> m_latestConnectionOutcome;
    PortalOpeningMemory m_portalOpenings;
    std::optional<QString> m_lastAnalyticsSnapshotSignature;
    OpenNetworkOfferMemory m_openNetworkOffers;
    OpenNetworksHandler m_openNetworksDetectedHandler;
    bool m_activeConnectionAllowsAutomaticPortal = false;
    QString m_lastTitle;
};
