#pragma once

#include "wifi/WiFiSnapshot.h"

#include <QCoroTask>
#include <QString>
#include <optional>

// Reads the Wi-Fi interface and the networks around it. Never fails: failures are inside the snapshot.
class WiFiScanning {
public:
    virtual ~WiFiScanning() = default;

    // The name of the joined network as read, untrimmed; none when there is no interface, it is not
    // joined, or the name is withheld.
    virtual QCoro::Task<std::optional<QString>> currentSSID() = 0;
    // One full scan turned into a snapshot.
    virtual QCoro::Task<WiFiSnapshot> latestSnapshot() = 0;
};
