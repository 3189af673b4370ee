#include "wifi/WiFiSnapshot.h"

#include <algorithm>

const WiFiSnapshot& WiFiSnapshot::scanning()
{
    static const WiFiSnapshot initial{ConnectionState::scanning(), std::nullopt, {}, PortalState::unknown(),
                                      std::nullopt, std::nullopt, std::nullopt, QDateTime::currentDateTimeUtc()};
    return initial;
}

QList<PublicNetworkCandidate> WiFiSnapshot::openCandidates() const
{
    QList<PublicNetworkCandidate> open;
    for (const auto& candidate : candidates) {
        if (candidate.isOpen())
            open.append(candidate);
    }
    return open;
}

std::optional<PublicNetworkCandidate> WiFiSnapshot::bestOpenCandidate() const
{
    for (const auto& candidate : candidates) {
        if (candidate.isOpen())
            return candidate;
    }
    return std::nullopt;
}

WiFiSnapshotMenuPresentation WiFiSnapshot::menuPresentation() const
{
    const bool hasOpen = std::any_of(candidates.cbegin(), candidates.cend(),
                                     [](const PublicNetworkCandidate& candidate) { return candidate.isOpen(); });
    return {connectionState.title(), hasOpen, portalState.portalURL(), currentSSID};
}

bool WiFiSnapshot::shouldPublishUpdate(const WiFiSnapshot& comparedTo) const
{
    // Cheapest and most visible differences first.
    return menuPresentation() != comparedTo.menuPresentation()
        || bestNetwork != comparedTo.bestNetwork
        || candidates != comparedTo.candidates
        || currentNetwork != comparedTo.currentNetwork
        || interfaceDetails != comparedTo.interfaceDetails
        || portalState != comparedTo.portalState
        || connectionState != comparedTo.connectionState;
}
