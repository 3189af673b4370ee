#include "ui/StatusNetworks.h"

#include <QCollator>
#include <QSet>
#include <algorithm>

namespace StatusNetworks {

bool isReading(const WiFiSnapshot& snapshot, bool isConnecting)
{
    return isConnecting || snapshot.connectionState.kind() == ConnectionState::Kind::scanning;
}

QList<PublicNetworkCandidate> publicNetworks(const WiFiSnapshot& snapshot, const QLocale& locale)
{
    QList<PublicNetworkCandidate> all;
    if (snapshot.bestNetwork)
        all.append(*snapshot.bestNetwork);
    all.append(snapshot.openCandidates());

    QList<PublicNetworkCandidate> unique;
    QSet<QString> seen;
    for (const auto& candidate : all) {
        if (seen.contains(candidate.ssid))
            continue;
        seen.insert(candidate.ssid);
        unique.append(candidate);
    }

    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(unique.begin(), unique.end(),
                     [&collator](const PublicNetworkCandidate& a, const PublicNetworkCandidate& b) {
                         if (a.quality != b.quality)
                             return a.quality > b.quality;
                         return collator.compare(a.ssid, b.ssid) < 0;
                     });
    return unique;
}

std::optional<PublicNetworkCandidate> connectedPublicNetwork(const WiFiSnapshot& snapshot,
                                                             const QList<PublicNetworkCandidate>& publicNetworks)
{
    if (snapshot.currentNetwork && snapshot.currentNetwork->isOpen())
        return snapshot.currentNetwork;
    if (!snapshot.currentSSID)
        return std::nullopt;
    for (const auto& network : publicNetworks) {
        if (network.ssid == *snapshot.currentSSID)
            return network;
    }
    return std::nullopt;
}

bool isLocationNeeded(LocationAuthorizationStatus status)
{
    return needsPermission(status);
}

} // namespace StatusNetworks
