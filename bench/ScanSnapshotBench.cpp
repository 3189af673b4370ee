// Latency: a full scan of 300 access points turned into the snapshot's candidates once NetworkManager
// has answered (scoring, ranking and one candidate per name).
#include "wifi/NetworkManagerWiFiScanner.h"
#include "wifi/PublicNetworkScorer.h"

#include <QRandomGenerator>
#include <benchmark/benchmark.h>

namespace {

QList<NetworkManagerAccessPoint> busyStreet(int count)
{
    QRandomGenerator random(7);
    QList<NetworkManagerAccessPoint> points;
    for (int i = 0; i < count; ++i) {
        NetworkManagerAccessPoint point;
        point.path = QStringLiteral("/org/freedesktop/NetworkManager/AccessPoint/%1").arg(i);
        // Most names appear on two or three access points, as in a mall or a campus.
        point.ssid = QStringLiteral("Cafe %1 Guest").arg(i / 3).toUtf8();
        point.bssid = QStringLiteral("02:00:00:00:%1:%2").arg(i / 256, 2, 16, QLatin1Char('0')).arg(i % 256, 2, 16, QLatin1Char('0'));
        if (i % 4 == 0)
            point.rsnFlags = 0x8 | 0x80 | 0x100;
        point.flags = point.rsnFlags ? 1 : 0;
        point.frequencyMHz = i % 2 ? 2412 + 5 * int(random.bounded(11)) : 5180;
        point.maxBitrateKbps = 54000 + 1000 * int(random.bounded(800));
        point.strength = quint8(20 + random.bounded(80));
        points.append(point);
    }
    return points;
}

void scanToSnapshot(benchmark::State& state)
{
    const QList<NetworkManagerAccessPoint> points = busyStreet(int(state.range(0)));
    const PublicNetworkScorer scorer;
    for (auto _ : state) {
        QList<PublicNetworkCandidate> candidates = NetworkManagerWiFiScanner::candidatesFrom(points, scorer);
        benchmark::DoNotOptimize(candidates);
    }
}

} // namespace

BENCHMARK(scanToSnapshot)->Name("scan/access_points_to_snapshot")->Arg(300)->Unit(benchmark::kMillisecond);
