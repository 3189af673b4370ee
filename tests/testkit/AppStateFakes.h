#pragma once
// Stand-ins for every dependency of AppState, each answering at once with what the test set and
// counting what it was asked. A gate lets a test hold the scanner or the router mid-call.
// Members are returned as copies: this QCoro's co_return of a non-const lvalue moves from it.

#include "connectivity/CaptivePortalHandling.h"
#include "connectivity/NetworkPathMonitoring.h"
#include "portal/PortalAutofillProfileStoring.h"
#include "services/AppAnalyticsReporting.h"
#include "state/AppState.h"
#include "state/LaunchAtLoginControlling.h"
#include "state/PortalAssisting.h"
#include "testkit/ManualClock.h"
#include "wifi/WiFiConnectionRouting.h"
#include "wifi/WiFiPowerControlling.h"
#include "wifi/WiFiScanning.h"

#include <QCoroSignal>
#include <QObject>

// Holds callers until opened.
class Gate : public QObject {
    Q_OBJECT
public:
    bool closed = false;
    QCoro::Task<> pass()
    {
        while (closed)
            co_await qCoro(this, &Gate::opened);
    }
    void open()
    {
        closed = false;
        Q_EMIT opened();
    }
Q_SIGNALS:
    void opened();
};

class FakeScanner : public WiFiScanning {
public:
    std::optional<QString> ssid;
    WiFiSnapshot snapshot;
    int scans = 0;
    Gate gate;
    QCoro::Task<std::optional<QString>> currentSSID() override { co_return std::optional<QString>(ssid); }
    QCoro::Task<WiFiSnapshot> latestSnapshot() override
    {
        ++scans;
        co_await gate.pass();
        co_return WiFiSnapshot(snapshot);
    }
};

class FakePower : public WiFiPowerControlling {
public:
    std::optional<bool> state = true;
    QCoro::Task<std::optional<bool>> currentPowerState() override { co_return std::optional<bool>(state); }
};

class FakePath : public NetworkPathMonitoring {
public:
    NetworkPathStatus status = NetworkPathStatus::satisfied(false, false);
    QCoro::Task<NetworkPathStatus> currentStatus() override { co_return status; }
};

class FakePortal : public CaptivePortalHandling {
public:
    PortalState state = PortalState::online();
    int probes = 0;
    QCoro::Task<PortalState> detectPortal() override
    {
        ++probes;
        co_return PortalState(state);
    }
};

class FakeRouter : public WiFiConnectionRouting {
public:
    QList<WiFiConnectionRouteRequest> requests;
    // The outcome for the first candidate; attempts list that one candidate.
    std::function<WiFiConnectionOutcome(const PublicNetworkCandidate&)> outcome = [](const PublicNetworkCandidate& c) {
        return WiFiConnectionOutcome::connected(c.ssid);
    };
    Gate gate;
    QCoro::Task<WiFiConnectionRouteOutcome> connect(WiFiConnectionRouteRequest request) override
    {
        requests.append(request);
        co_await gate.pass();
        const PublicNetworkCandidate first = request.candidates.first();
        const WiFiConnectionOutcome result = outcome(first);
        co_return WiFiConnectionRouteOutcome{result, {WiFiConnectionAttempt{0, first, result}}};
    }
};

class FakeLaunchAtLogin : public LaunchAtLoginControlling {
public:
    LaunchAtLoginStatus current = LaunchAtLoginStatus::notRegistered;
    bool fail = false;
    LaunchAtLoginStatus status() const override { return current; }
    std::optional<LaunchAtLoginError> setEnabled(bool enabled) override
    {
        if (fail)
            return LaunchAtLoginError::registerFailed(QStringLiteral("refused"));
        current = enabled ? LaunchAtLoginStatus::enabled : LaunchAtLoginStatus::notRegistered;
        return std::nullopt;
    }
    void openSystemSettings() override {}
};

class RecordingAnalytics : public AppAnalyticsReporting {
public:
    QList<AppAnalyticsEvent> events;
    void track(const AppAnalyticsEvent& event) override { events.append(event); }
    QList<AppAnalyticsEvent> named(AppAnalyticsEventName name) const
    {
        QList<AppAnalyticsEvent> found;
        for (const auto& event : events)
            if (event.name == name)
                found.append(event);
        return found;
    }
};

class MemoryProfileStore : public PortalAutofillProfileStoring {
public:
    PortalAutofillProfile stored;
    QList<PortalAutofillProfile> saves;
    bool failWrites = false;
    QCoro::Task<PortalAutofillProfile> load() override { co_return PortalAutofillProfile(stored); }
    QCoro::Task<bool> save(PortalAutofillProfile profile) override
    {
        saves.append(profile);
        if (failWrites)
            co_return false;
        stored = profile;
        co_return true;
    }
};

class RecordingPortalAssistant : public PortalAssisting {
public:
    QList<QUrl> hidden;
    QList<QUrl> shown;
    void attemptHidden(QUrl url, PortalAssistantHost*) override { hidden.append(url); }
    void show(QUrl url, PortalAssistantHost*) override { shown.append(url); }
};

// One AppState over the fakes above.
struct AppStateRig {
    std::shared_ptr<FakeScanner> scanner = std::make_shared<FakeScanner>();
    std::shared_ptr<FakePower> power = std::make_shared<FakePower>();
    std::shared_ptr<FakePath> path = std::make_shared<FakePath>();
    std::shared_ptr<FakePortal> portal = std::make_shared<FakePortal>();
    std::shared_ptr<FakeRouter> router = std::make_shared<FakeRouter>();
    std::shared_ptr<FakeLaunchAtLogin> launchAtLogin = std::make_shared<FakeLaunchAtLogin>();
    std::shared_ptr<RecordingAnalytics> analytics = std::make_shared<RecordingAnalytics>();
    std::shared_ptr<MemoryProfileStore> store = std::make_shared<MemoryProfileStore>();
    std::shared_ptr<RecordingPortalAssistant> assistant = std::make_shared<RecordingPortalAssistant>();
    LocationAuthorizationStatus location = LocationAuthorizationStatus::allowed;
    int permissionRequests = 0;
    ManualClock clock;
    std::shared_ptr<QSettings> defaults;

    AppState::Collaborators collaborators(const QString& settingsFile)
    {
        defaults = std::make_shared<QSettings>(settingsFile, QSettings::IniFormat);
        AppState::Collaborators c;
        c.scanner = scanner;
        c.portal = portal;
        c.networkPathMonitor = path;
        c.connectionRouter = router;
        c.wifiPowerController = power;
        c.launchAtLoginController = launchAtLogin;
        c.analytics = analytics;
        c.portalProfileStore = store;
        c.portalAssistant = assistant;
        c.locationStatus = [this] { return location; };
        c.requestLocationPermission = [this] { ++permissionRequests; };
        c.defaults = defaults;
        c.detectionPageURL = QUrl(QStringLiteral("http://detect.test/hotspot-detect.html"));
        c.clock = &clock;
        return c;
    }
};
