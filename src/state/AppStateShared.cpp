// The process-wide state over the real system: NetworkManager on the system bus, the detection page
// over plain HTTP, the user's keyring, the product service and the XDG autostart folder.
#include "state/AppState.h"

#include "connectivity/CaptivePortalService.h"
#include "connectivity/DetectionURLSetting.h"
#include "connectivity/NetworkPathService.h"
#include "portal/PortalAutofillProfileStore.h"
#include "services/AppAnalyticsService.h"
#include "state/LaunchAtLoginService.h"
#include "state/LocationAuthorizationController.h"
#include "state/SettingsPageOpener.h"
#include "state/SystemWakeObserver.h"
#include "support/SystemBus.h"
#include "wifi/NetworkManagerCache.h"
#include "wifi/NetworkManagerWiFiAssociator.h"
#include "wifi/NetworkManagerWiFiPowerController.h"
#include "wifi/NetworkManagerWiFiScanner.h"
#include "wifi/PublicNetworkScorer.h"
#include "wifi/WiFiConnectionRouter.h"
#include "wifi/WiFiConnectionService.h"

AppState& AppState::shared()
{
    static AppState* const state = [] {
        const QDBusConnection bus = SystemBus::connection();
        // One signal-fed copy of NetworkManager for the every-second checks: power, path and name.
        const std::shared_ptr<NetworkManagerCache> networkManager = NetworkManagerCache::system();
        // The analytics service is itself process-wide; the state only borrows it.
        std::shared_ptr<AppAnalyticsReporting> analytics(&AppAnalyticsService::shared(), [](AppAnalyticsReporting*) {});

        Collaborators collaborators;
        collaborators.scanner = std::make_shared<NetworkManagerWiFiScanner>(networkManager, std::make_shared<PublicNetworkScorer>(),
                                                                          NetworkManagerWiFiScanner::Options{});
        collaborators.portal = std::make_shared<CaptivePortalService>();
        collaborators.networkPathMonitor = std::make_shared<NetworkPathService>(networkManager);
        collaborators.connectionRouter = std::make_shared<WiFiConnectionRouter>(
            std::make_shared<WiFiConnectionService>(std::make_shared<NetworkManagerWiFiAssociator>(bus)));
        collaborators.wifiPowerController = std::make_shared<NetworkManagerWiFiPowerController>(networkManager);
        collaborators.launchAtLoginController = std::make_shared<LaunchAtLoginService>();
        collaborators.analytics = analytics;
        collaborators.portalProfileStore = std::make_shared<PortalAutofillProfileStore>();
        // The test-mode switch turns the permission gate off for automated runs of the whole app.
        collaborators.requiresLocationPermissionGate = qEnvironmentVariableIsEmpty("BREWBEACON_TEST_MODE");
        collaborators.defaults = std::make_shared<QSettings>();
        collaborators.detectionPageURL = DetectionURLSetting::configured();

        // The gate's controller lives as long as the state; its readings arrive through the callback.
        auto receiver = std::make_shared<AppState*>(nullptr);
        auto* location = new LocationAuthorizationController(bus, [receiver](LocationAuthorizationStatus status) {
            if (*receiver)
                (*receiver)->handleLocationAuthorizationChange(status);
        });
        collaborators.locationStatus = [location] { return location->currentStatus(); };
        collaborators.requestLocationPermission = [location] { location->requestWhenNeeded(); };
        collaborators.openLocationSettings = [] { SettingsPageOpener().openWiFiSettings(); };
        auto* created = new AppState(std::move(collaborators));
        *receiver = created;
        location->setParent(created);
        location->start();

        auto* wake = new SystemWakeObserver(bus, created);
        QObject::connect(wake, &SystemWakeObserver::didWake, created, [created] {
            if (created->isAssistantStarted())
                created->handleSystemWake();
        });
        wake->start();
        return created;
    }();
    return *state;
}
