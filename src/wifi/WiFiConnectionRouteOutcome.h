#pragma once

#include "wifi/PublicNetworkCandidate.h"
#include "wifi/WiFiConnectionAttempt.h"
#include "wifi/WiFiConnectionOutcome.h"

#include <QList>
#include <optional>

// What a whole route produced: the deciding outcome and every attempt in the order tried.
class WiFiConnectionRouteOutcome {
public:
    WiFiConnectionOutcome finalOutcome;
    QList<WiFiConnectionAttempt> attempts;

    // The candidate of the last attempt, whatever its outcome; none without attempts.
    std::optional<PublicNetworkCandidate> selectedCandidate() const
    {
        if (attempts.isEmpty())
            return std::nullopt;
        return attempts.last().candidate;
    }

    bool operator==(const WiFiConnectionRouteOutcome&) const = default;
};
