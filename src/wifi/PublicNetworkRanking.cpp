#include "wifi/PublicNetworkRanking.h"

#include <QCollator>
#include <QSet>
#include <algorithm>
#include <vector>

QList<PublicNetworkCandidate> rankedCandidates(QList<PublicNetworkCandidate> candidates, const QLocale& locale)
{
    // One collator per call: collators are not safe to share between threads. Each name's sort key is
    // made once; comparing keys is far cheaper than collating the names at every comparison.
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    struct Keyed {
        int quality;
        QCollatorSortKey key;
        qsizetype index;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(candidates.size()));
    for (qsizetype i = 0; i < candidates.size(); ++i)
        keyed.push_back({candidates.at(i).quality, collator.sortKey(candidates.at(i).ssid), i});
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& lhs, const Keyed& rhs) {
        if (lhs.quality != rhs.quality)
            return lhs.quality > rhs.quality;
        return lhs.key.compare(rhs.key) < 0;
    });
    QList<PublicNetworkCandidate> ranked;
    ranked.reserve(candidates.size());
    for (const Keyed& entry : keyed)
        ranked.append(std::move(candidates[entry.index]));
    return ranked;
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
