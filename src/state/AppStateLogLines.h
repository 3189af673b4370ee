#pragma once

#include "support/Logger.h"
#include "wifi/WiFiSnapshot.h"

// The assistant's summary lines for a snapshot and its candidates, so every check logs them alike.
namespace AppStateLogLines {

// One line at the default level: connection, portal, whether a name and a best network are known, counts.
void snapshot(const Logger& logger, const QString& label, const WiFiSnapshot& snapshot);
// Debug lines for the first six candidates, or one "none" line.
void candidates(const Logger& logger, const QString& label, const QList<PublicNetworkCandidate>& candidates);

} // namespace AppStateLogLines
