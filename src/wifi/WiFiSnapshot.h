#pragma once

#include "wifi/ConnectionState.h"
#include "wifi/PortalState.h"
#include "wifi/PublicNetworkCandidate.h"
#include "wifi/WiFiInterfaceDetails.h"
#include "wifi/WiFiSnapshotMenuPresentation.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// One published picture of the Wi-Fi situation.
struct WiFiSnapshot {
    ConnectionState connectionState;
    std::optional<PublicNetworkCandidate> bestNetwork; // first of `candidates`, any security
    QList<PublicNetworkCandidate> candidates; // ranking order, one per name
    PortalState portalState;
    std::optional<QString> currentSSID; // absent when not joined or the name is withheld
    std::optional<PublicNetworkCandidate> currentNetwork; // built from the joined network's own readings
    std::optional<WiFiInterfaceDetails> interfaceDetails;
    QDateTime lastUpdated;

    // The application's initial snapshot, stamped when first used.
    static const WiFiSnapshot& scanning();

    QList<PublicNetworkCandidate> openCandidates() const;
    std::optional<PublicNetworkCandidate> bestOpenCandidate() const;
    WiFiSnapshotMenuPresentation menuPresentation() const;

    // Whether anything the user sees differs from `comparedTo`; `lastUpdated` alone never counts.
    bool shouldPublishUpdate(const WiFiSnapshot& comparedTo) const;

    bool operator==(const WiFiSnapshot&) const = default;
};
