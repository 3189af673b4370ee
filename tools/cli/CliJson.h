#pragma once

#include <QJsonObject>
#include <optional>

class NetworkPathStatus;
class WiFiConnectionOutcome;
struct PublicNetworkCandidate;
struct WiFiInterfaceDetails;
struct WiFiSnapshot;
struct WorkReadinessAssessment;

// The --json shapes of brewbeacon-cli. Absent values are left out rather than written as null.
namespace CliJson {

QJsonObject candidate(const PublicNetworkCandidate& candidate);
QJsonObject interfaceDetails(const WiFiInterfaceDetails& details);
// The connection and portal state, the joined network and the interface; candidates only when asked.
QJsonObject snapshot(const WiFiSnapshot& snapshot, bool withCandidates);
QJsonObject path(const std::optional<NetworkPathStatus>& status);
QJsonObject outcome(const WiFiConnectionOutcome& outcome);
QJsonObject assessment(const WorkReadinessAssessment& assessment);

} // namespace CliJson
