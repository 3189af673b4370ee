// Scale: tracking an event while the persistent analytics queue is full (100 events), the case every
// event of a long offline stretch meets. Uploads never finish here, so the queue stays at its cap.
#include "services/AppAnalyticsService.h"

#include <QCoroTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

// An upload that never returns, as on a network that swallows packets.
class SilentSession : public URLSessionProtocol {
public:
    QCoro::Task<URLSessionResult> data(HTTPRequest) override
    {
        QTimer never;
        never.start(std::chrono::hours(1));
        co_await never;
        co_return URLSessionResult::failure(QStringLiteral("timed out"));
    }
};

void enqueueAtCap(benchmark::State& state)
{
    QTemporaryDir dir;
    auto defaults = std::make_shared<QSettings>(dir.filePath(QStringLiteral("defaults.ini")), QSettings::IniFormat);
    AppAnalyticsService service(AppAnalyticsService::Dependencies{
        QUrl(QStringLiteral("http://127.0.0.1:9/api/analytics/app")), defaults, std::make_shared<SilentSession>(),
        [] { return AppVersion{QStringLiteral("1.0"), QStringLiteral("1")}; }, false, &Clock::system()});
    const AppAnalyticsEvent event = AppAnalyticsEvent::make(AppAnalyticsEventName::uiAction, {{QStringLiteral("action"), QStringLiteral("refresh")}});
    for (int i = 0; i < AppAnalyticsService::maxQueuedEvents; ++i)
        service.track(event);
    QCoreApplication::processEvents(); // the one upload starts and hangs
    for (auto _ : state)
        service.track(event);
    state.counters["queued"] = double(service.queuedEvents().size());
}

} // namespace

BENCHMARK(enqueueAtCap)->Name("analytics/enqueue_at_cap")->Unit(benchmark::kMillisecond);
