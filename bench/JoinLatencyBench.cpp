// Latency: a captive portal found after a join. Each sample joins the simulated cafe network through
// the real connection service and subtracts the association itself and the probes' round trips, so
// what remains is the program's own time from "joined" to the captive outcome.
#include "connectivity/CaptivePortalService.h"
#include "connectivity/CaptiveProbeURLSession.h"
#include "connectivity/ConnectivityProbeClient.h"
#include "connectivity/NetworkManagerPathMonitor.h"
#include "connectivity/NetworkPathService.h"
#include "wifi/NetworkManagerWiFiAssociator.h"
#include "wifi/WiFiConnectionService.h"

#include "BenchHelper.h"

#include <QCoroTask>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

namespace {

// Adds the time spent inside the wrapped call to a running total.
class TimedAssociator : public WiFiAssociating {
public:
    TimedAssociator(std::shared_ptr<WiFiAssociating> inner, qint64& nanos) : m_inner(std::move(inner)), m_nanos(nanos) {}
    QCoro::Task<WiFiAssociationStatus> associate(PublicNetworkCandidate candidate) override
    {
        QElapsedTimer timer;
        timer.start();
        const WiFiAssociationStatus status = co_await m_inner->associate(std::move(candidate));
        m_nanos += timer.nsecsElapsed();
        co_return status;
    }

private:
    std::shared_ptr<WiFiAssociating> m_inner;
    qint64& m_nanos;
};

class TimedPortal : public CaptivePortalHandling {
public:
    TimedPortal(QUrl detection, qint64& nanos) : m_detection(std::move(detection)), m_nanos(nanos) {}
    QCoro::Task<PortalState> detectPortal() override
    {
        CaptivePortalService portal(ConnectivityProbeClient(std::make_shared<CaptiveProbeURLSession>(), m_detection));
        QElapsedTimer timer;
        timer.start();
        const PortalState state = co_await portal.detectPortal();
        m_nanos += timer.nsecsElapsed();
        co_return state;
    }

private:
    QUrl m_detection;
    qint64& m_nanos;
};

void captiveDetectedAfterJoin(benchmark::State& state)
{
    BenchHelper networkManager(QStringLiteral("tools/simulated-networkmanager.py"), {}, "BREWBEACON_SYSTEM_BUS_ADDRESS=");
    BenchHelper portal(QStringLiteral("tools/captive-portal/captive_portal.py"), {}, "listening on ");
    if (networkManager.value().isEmpty() || portal.value().isEmpty()) {
        state.SkipWithError("the simulated NetworkManager or the captive portal did not start");
        return;
    }
    const QDBusConnection bus = QDBusConnection::connectToBus(networkManager.value(), QStringLiteral("join-bench"));
    const QUrl detection(portal.value() + QStringLiteral("hotspot-detect.html"));
    qint64 associationNanos = 0;
    qint64 probeNanos = 0;
    WiFiConnectionService::Collaborators collaborators;
    collaborators.associator = std::make_shared<TimedAssociator>(std::make_shared<NetworkManagerWiFiAssociator>(bus), associationNanos);
    collaborators.networkPathMonitor =
        std::make_shared<NetworkPathService>([bus] { return std::make_unique<NetworkManagerPathMonitor>(bus); });
    collaborators.portalHandler = std::make_shared<TimedPortal>(detection, probeNanos);
    WiFiConnectionService service(collaborators);

    WiFiConnectionRequest request;
    request.candidate.ssid = QStringLiteral("Highlands Coffee Guest");
    request.candidate.security = NetworkSecurity::open;
    request.candidate.quality = 90;
    request.userApproved = true;
    qint64 probeTotal = 0;
    for (auto _ : state) {
        associationNanos = probeNanos = 0;
        QElapsedTimer timer;
        timer.start();
        const WiFiConnectionOutcome outcome = QCoro::waitFor(service.connect(request));
        const qint64 total = timer.nsecsElapsed();
        if (outcome.kind() != WiFiConnectionOutcome::Kind::captivePortal) {
            state.SkipWithError("the join did not end at the portal");
            return;
        }
        probeTotal += probeNanos;
        state.SetIterationTime(double(std::max<qint64>(0, total - associationNanos - probeNanos)) / 1e9);
        // Leave again for the next sample.
        QDBusMessage leave = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.NetworkManager"),
                                                            QStringLiteral("/org/freedesktop/NetworkManager"),
                                                            QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("Disconnect"));
        leave << QStringLiteral("/org/freedesktop/NetworkManager/Devices/wlan0");
        bus.call(leave);
    }
    state.counters["probe_ms"] = benchmark::Counter(double(probeTotal) / 1e6, benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(captiveDetectedAfterJoin)->Name("join/captive_detected_after_join")->UseManualTime()->Iterations(10)
    ->Unit(benchmark::kMillisecond);
