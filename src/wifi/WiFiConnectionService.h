#pragma once

#include "wifi/WiFiConnecting.h"
#include "wifi/WiFiConnectionOutcome.h"
#include "wifi/WiFiConnectionRequest.h"
#include "wifi/WiFiRetryPolicy.h"
#include "wifi/WiFiPostAssociationPolicy.h"

#include <memory>

class CaptivePortalHandling;
class NetworkPathMonitoring;
class PortalState;
class RetrySleeping;
class WiFiAssociating;

// Joins one network and verifies the join: refuses what must not be joined, associates with retries
// for transient failures, then watches the path and probes for a portal. Holds no mutable state, so
// concurrent calls do not interfere.
class WiFiConnectionService : public WiFiConnecting {
public:
    struct Collaborators {
        std::shared_ptr<WiFiAssociating> associator;
        std::shared_ptr<NetworkPathMonitoring> networkPathMonitor;
        std::shared_ptr<CaptivePortalHandling> portalHandler;
        WiFiRetryPolicy retryPolicy = WiFiRetryPolicy{};
        WiFiPostAssociationPolicy postAssociationPolicy = WiFiPostAssociationPolicy{};
        std::shared_ptr<RetrySleeping> sleeper;
        int minimumQuality = installedMinimumQuality;
    };

    static constexpr int installedMinimumQuality = 35;

    // The installed path service, portal service, policies and sleeper around the given associator.
    explicit WiFiConnectionService(std::shared_ptr<WiFiAssociating> associator);
    explicit WiFiConnectionService(Collaborators collaborators);

    QCoro::Task<WiFiConnectionOutcome> connect(WiFiConnectionRequest request) override;

    // `captivePortal` for a detected or suspected portal; none for the other states.
    static std::optional<WiFiConnectionOutcome> captiveOutcome(const PortalState& state, const QString& ssid);

private:
    static QCoro::Task<WiFiConnectionOutcome> verifyPostAssociation(Collaborators collaborators, QString ssid);

    Collaborators m_collaborators;
};
