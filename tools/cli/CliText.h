#pragma once

#include <QString>
#include <optional>

class NetworkPathStatus;
class WiFiConnectionOutcome;
struct WiFiSnapshot;
struct WorkReadinessAssessment;

// The human-readable output of brewbeacon-cli: short lines a person reads at a glance.
namespace CliText {

// The ranked networks, one per line, the joined one marked with "*".
QString networks(const WiFiSnapshot& snapshot);
// The connection, the joined network and the interface's radio readings.
QString status(const WiFiSnapshot& snapshot, const std::optional<NetworkPathStatus>& path);
QString check(const WiFiSnapshot& snapshot, const std::optional<NetworkPathStatus>& path,
              const WorkReadinessAssessment& assessment);
QString outcome(const QString& requestedSSID, const WiFiConnectionOutcome& outcome);

} // namespace CliText
