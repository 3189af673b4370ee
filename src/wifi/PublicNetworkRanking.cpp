#include "wifi/PublicNetworkRanking.h"

#include <QCollator>
#include <QSet>
#include <algorithm>

QList<PublicNetworkCandidate> rankedCandidates(QList<PublicNetworkCandidate> candidates, const QLocale& locale)
{
    // One collator per call: collators are not safe to share between threads.
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](const PublicNetworkCandidate& lhs, const PublicNetworkCandidate& rhs) {
                         if (lhs.quality != rhs.quality)
                             return lhs.quality > rhs.quality;
                         return collator.compare(lhs.ssid, rhs.ssid) < 0;
                     });
    return candidates;
}

QList<PublicNetworkCandidate> uniqueCandidatesBySSID(const QList<PublicNetworkCandidate>& candidates)
{
    QList<PublicNetworkCandidate> unique;
    QSet<QString> seen;
    for (const auto& candidate : candidates) {
        const QString key = candidate.ssid.trimmed().toLower();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        unique.append(candidate);
    }
    return unique;
}
