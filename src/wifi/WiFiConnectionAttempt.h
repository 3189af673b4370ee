#pragma once

#include "wifi/PublicNetworkCandidate.h"
#include "wifi/WiFiConnectionOutcome.h"

#include <QString>

// One network tried during a route.
struct WiFiConnectionAttempt {
    int index = 0; // 0-based position in the route
    PublicNetworkCandidate candidate;
    WiFiConnectionOutcome outcome;

    // "0-Cafe Guest" for the first attempt on Cafe Guest.
    QString id() const { return QString::number(index) + QLatin1Char('-') + candidate.ssid; }

    bool operator==(const WiFiConnectionAttempt&) const = default;
};
