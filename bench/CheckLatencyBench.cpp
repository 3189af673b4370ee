// Latency: one automatic connectivity check of the real application state while joined and online,
// against the simulated NetworkManager and a loopback detection page. Each sample is one check as the
// one-second loop runs it; most fall between the 3 s probe and 10 s scan cadences, so the median is the
// check without the probe's network time. The probe alone is measured as the reference.
#include "connectivity/CaptivePortalService.h"
#include "connectivity/CaptiveProbeURLSession.h"
#include "connectivity/ConnectivityProbeClient.h"
#include "state/AppState.h"

#include "BenchHelper.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

namespace {

struct World {
    QTemporaryDir dir;
    BenchHelper networkManager{QStringLiteral("tools/simulated-networkmanager.py"),
                          {QStringLiteral("--joined"), QStringLiteral("Highlands Coffee Guest")},
                          "BREWBEACON_SYSTEM_BUS_ADDRESS="};
    BenchHelper portal{QStringLiteral("tools/captive-portal/captive_portal.py"), {QStringLiteral("--online")}, "listening on "};
    QUrl detection;

    World()
    {
        qputenv("BREWBEACON_SYSTEM_BUS_ADDRESS", networkManager.value().toUtf8());
        detection = QUrl(portal.value() + QStringLiteral("hotspot-detect.html"));
        qputenv("BREWBEACON_DETECTION_URL", detection.toString().toUtf8());
        qputenv("BREWBEACON_DISABLE_ANALYTICS", "1");
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    }
};

World& world()
{
    static World instance;
    return instance;
}

void automaticCheckWhileJoined(benchmark::State& state)
{
    World& w = world();
    if (w.networkManager.value().isEmpty() || w.portal.value().isEmpty()) {
        state.SkipWithError("the simulated NetworkManager or the detection page did not start");
        return;
    }
    AppState& app = AppState::shared();
    // The permission reading arrives asynchronously; the check waits for it like the app does.
    QDeadlineTimer ready(10000);
    while (app.locationAuthorizationStatus() != LocationAuthorizationStatus::allowed && !ready.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoro::waitFor(app.runConnectivityCheckToCompletion(false)); // first reading: joined, online
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QCoro::waitFor(app.runConnectivityCheckToCompletion(true));
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        // The loop's pace, so the cadences see real time pass between checks.
        QThread::msleep(1000 - std::min<qint64>(timer.elapsed(), 999));
    }
    state.counters["connected"] = app.currentSnapshot().connectionState.kind() == ConnectionState::Kind::connected;
}

void probeAlone(benchmark::State& state)
{
    CaptivePortalService portal(ConnectivityProbeClient(std::make_shared<CaptiveProbeURLSession>(), world().detection));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        benchmark::DoNotOptimize(QCoro::waitFor(portal.detectPortal()));
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

} // namespace

BENCHMARK(automaticCheckWhileJoined)->Name("state/automatic_check_joined")->UseManualTime()->Iterations(1)->Repetitions(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(probeAlone)->Name("state/probe_alone")->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
