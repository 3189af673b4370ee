#include "state/AppStateLogLines.h"

using namespace Qt::StringLiterals;

namespace AppStateLogLines {

void snapshot(const Logger& logger, const QString& label, const WiFiSnapshot& snapshot)
{
    logger.log("%{public}s: connection=%{public}s, portal=%{public}s, hasCurrentSSID=%{public}s, "
               "hasBestNetwork=%{public}s, candidates=%{public}ld, openCandidates=%{public}ld",
               label, snapshot.connectionState.analyticsValue(), snapshot.portalState.analyticsValue(),
               snapshot.currentSSID ? u"true"_s : u"false"_s, snapshot.bestNetwork ? u"true"_s : u"false"_s,
               qint64(snapshot.candidates.size()), qint64(snapshot.openCandidates().size()));
}

void candidates(const Logger& logger, const QString& label, const QList<PublicNetworkCandidate>& candidates)
{
    if (candidates.isEmpty()) {
        logger.debug("%{public}s candidates: none", label);
        return;
    }
    for (qsizetype index = 0; index < std::min<qsizetype>(candidates.size(), 6); ++index) {
        const PublicNetworkCandidate& candidate = candidates.at(index);
        logger.debug("%{public}s candidate[%{public}ld]: ssid=%{private}s, security=%{public}s, quality=%{public}ld, "
                     "rssi=%{public}ld, noise=%{public}ld, channel=%{public}s, publicOpen=%{bool,public}d",
                     label, qint64(index), candidate.ssid, rawValue(candidate.security), candidate.quality,
                     candidate.rssi.value_or(0), candidate.noise.value_or(0), candidate.channel.value_or(u"unknown"_s),
                     candidate.isOpen());
    }
}

} // namespace AppStateLogLines
