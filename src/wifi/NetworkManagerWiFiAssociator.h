#pragma once

#include "support/Logger.h"
#include "support/SerialWorker.h"
#include "wifi/NetworkManagerClient.h"
#include "wifi/WiFiAssociating.h"

#include <QDBusConnection>
#include <chrono>

// Joins one open network through NetworkManager: checks the device, scans for the name, picks the
// strongest open access point bearing it (never a secured one of the same name, which would make
// NetworkManager ask for a password) and activates a connection without credentials. The device is read
// afresh for every join, on the associator's own serial worker, so two joins never run at once.
class NetworkManagerWiFiAssociator : public WiFiAssociating {
public:
    struct Options {
        std::chrono::milliseconds scanBound = std::chrono::seconds(10);
        // How long an activation may take before the join counts as failed (DHCP included).
        std::chrono::milliseconds activationBound = std::chrono::seconds(45);
    };

    explicit NetworkManagerWiFiAssociator(QDBusConnection bus);
    NetworkManagerWiFiAssociator(QDBusConnection bus, Options options);

    QCoro::Task<WiFiAssociationStatus> associate(PublicNetworkCandidate candidate) override;

    // The strongest open access point of the candidate's network: the same name bytes (the same shown
    // name, for a candidate built without them). None when there is none.
    static std::optional<NetworkManagerAccessPoint> bestMatch(const PublicNetworkCandidate& candidate,
                                                              const QList<NetworkManagerAccessPoint>& points);
    static bool isSameNetwork(const PublicNetworkCandidate& candidate, const QByteArray& ssid);

private:
    WiFiAssociationStatus associateNow(const PublicNetworkCandidate& candidate);
    // Activates a saved open profile for the name if the device has one, else adds one; then waits for
    // the activation to settle. None on success, else NetworkManager's text.
    std::optional<QString> join(const NetworkManagerDevice& device, const NetworkManagerAccessPoint& point);
    std::optional<QString> savedOpenConnection(const NetworkManagerDevice& device, const QByteArray& ssid) const;
    std::optional<QString> waitForActivation(const QString& activeConnection, const QString& devicePath);

    NetworkManagerClient m_client;
    Options m_options;
    Logger m_logger{QStringLiteral("WiFiAssistant")};
    SerialWorker m_worker{QStringLiteral("com.tolvek.brewbeacon.networkmanager.associate")};
};
