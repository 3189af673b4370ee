#include "wifi/PublicNetworkRanking.h"

#include <QCollator>
#include <QSet>
#include <algorithm>

using namespace Qt::StringLiterals;

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

namespace {

// Names that differ only in case or surrounding blanks are one network. A name that is not valid UTF-8
// is keyed by its bytes, so its shown form ("\\xE9") never merges with a name spelled that way.
// Open and secured access points of one name stay apart: the open one must stay joinable even when a
// stronger secured one shares its name.
QString uniquenessKey(const PublicNetworkCandidate& candidate)
{
    const QByteArray bytes = candidate.rawSSID();
    const QString text = QString::fromUtf8(bytes);
    const bool validText = text.toUtf8() == bytes;
    const QString name = validText ? u"t:"_s + text.trimmed().toLower() : u"b:"_s + QString::fromLatin1(bytes.trimmed().toHex());
    return (candidate.isOpen() ? u"open|"_s : u"other|"_s) + name;
}

} // namespace

QList<PublicNetworkCandidate> uniqueCandidatesBySSID(const QList<PublicNetworkCandidate>& candidates)
{
    QList<PublicNetworkCandidate> unique;
    QSet<QString> seen;
    for (const auto& candidate : candidates) {
        const QString key = uniquenessKey(candidate);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        unique.append(candidate);
    }
    return unique;
}
