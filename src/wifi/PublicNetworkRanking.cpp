#include "wifi/PublicNetworkRanking.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QHash>
#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Each candidate's name as an index into the distinct names: a crowded scan repeats names, and the
// costly work (collation, normalisation) is then done once per distinct name.
template <typename Key>
struct DistinctNames {
    std::vector<Key> names;
    std::vector<int> ofCandidate;
};

template <typename Key, typename KeyOf>
DistinctNames<Key> distinctNames(const QList<PublicNetworkCandidate>& candidates, KeyOf keyOf)
{
    DistinctNames<Key> distinct;
    distinct.ofCandidate.reserve(size_t(candidates.size()));
    QHash<Key, int> indexOf;
    indexOf.reserve(candidates.size());
    for (const PublicNetworkCandidate& candidate : candidates) {
        const Key& key = keyOf(candidate);
        auto found = indexOf.constFind(key);
        if (found == indexOf.constEnd()) {
            found = indexOf.insert(key, int(distinct.names.size()));
            distinct.names.push_back(key);
        }
        distinct.ofCandidate.push_back(*found);
    }
    return distinct;
}

// Positions along a sorted order: a name that compares equal to the one before shares its position.
template <typename Compare>
std::vector<int> positionsInOrder(const std::vector<int>& order, Compare compare)
{
    std::vector<int> positions(order.size());
    int position = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && compare(order[i - 1], order[i]) < 0)
            ++position;
        positions[size_t(order[i])] = position;
    }
    return positions;
}

// The position of each distinct name in collation order; names the collator calls equal share one.
std::vector<int> collationPositions(const std::vector<QString>& names, const QLocale& locale)
{
    // One collator per call: collators are not safe to share between threads.
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<int> order(names.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    // A sort key per name costs far less than a collation per comparison and orders the same, except
    // in the C locale (whose keys ignore the case setting) and for the empty name (always first).
    const bool keysOrderAsCollator = locale.language() != QLocale::C &&
                                     collator.sortKey(u"a"_s).compare(collator.sortKey(u"B"_s)) < 0 &&
                                     collator.sortKey(u"a"_s).compare(collator.sortKey(u"A"_s)) == 0;
    if (keysOrderAsCollator) {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(names.size());
        for (const QString& name : names)
            keys.push_back(collator.sortKey(name));
        const auto compare = [&](int lhs, int rhs) {
            const bool lhsEmpty = names[size_t(lhs)].isEmpty();
            const bool rhsEmpty = names[size_t(rhs)].isEmpty();
            if (lhsEmpty || rhsEmpty)
                return int(rhsEmpty) - int(lhsEmpty);
            return keys[size_t(lhs)].compare(keys[size_t(rhs)]);
        };
        std::sort(order.begin(), order.end(), [&](int lhs, int rhs) { return compare(lhs, rhs) < 0; });
        return positionsInOrder(order, compare);
    }
    const auto compare = [&](int lhs, int rhs) { return collator.compare(names[size_t(lhs)], names[size_t(rhs)]); };
    std::sort(order.begin(), order.end(), [&](int lhs, int rhs) { return compare(lhs, rhs) < 0; });
    return positionsInOrder(order, compare);
}

// Puts each candidate where the order says, moving every one once (no second list of them).
void permute(QList<PublicNetworkCandidate>& candidates, const std::vector<qsizetype>& order)
{
    std::vector<bool> placed(order.size(), false);
    for (size_t start = 0; start < order.size(); ++start) {
        if (placed[start])
            continue;
        PublicNetworkCandidate first = std::move(candidates[qsizetype(start)]);
        size_t to = start;
        while (true) {
            placed[to] = true;
            const size_t from = size_t(order[to]);
            if (from == start)
                break;
            candidates[qsizetype(to)] = std::move(candidates[qsizetype(from)]);
            to = from;
        }
        candidates[qsizetype(to)] = std::move(first);
    }
}

} // namespace

QList<PublicNetworkCandidate> rankedCandidates(QList<PublicNetworkCandidate> candidates, const QLocale& locale)
{
    if (candidates.size() < 2)
        return candidates;
    const auto names = distinctNames<QString>(candidates, [](const PublicNetworkCandidate& candidate) -> const QString& {
        return candidate.ssid;
    });
    const std::vector<int> positions = collationPositions(names.names, locale);
    struct Key {
        int quality;
        int name;
        qsizetype index;
    };
    std::vector<Key> keys;
    keys.reserve(size_t(candidates.size()));
    for (qsizetype i = 0; i < candidates.size(); ++i)
        keys.push_back({candidates[i].quality, positions[size_t(names.ofCandidate[size_t(i)])], i});
    // The scan index settles ties, so the order is the stable one.
    std::sort(keys.begin(), keys.end(), [](const Key& lhs, const Key& rhs) {
        if (lhs.quality != rhs.quality)
            return lhs.quality > rhs.quality;
        if (lhs.name != rhs.name)
            return lhs.name < rhs.name;
        return lhs.index < rhs.index;
    });
    std::vector<qsizetype> order;
    order.reserve(keys.size());
    for (const Key& key : keys)
        order.push_back(key.index);
    permute(candidates, order);
    return candidates;
}

namespace {

// Names that differ only in case or surrounding blanks are one network. A name that is not valid UTF-8
// is keyed by its bytes, so its shown form ("\\xE9") never merges with a name spelled that way.
QString uniquenessName(const QByteArray& bytes)
{
    const QString text = QString::fromUtf8(bytes);
    const bool validText = text.toUtf8() == bytes;
    return validText ? u"t:"_s + text.trimmed().toLower() : u"b:"_s + QString::fromLatin1(bytes.trimmed().toHex());
}

// The same for a name known only as text. Plain ASCII (most names) survives the trip through UTF-8
// unchanged and lower-cases letter by letter, into one new string.
QString uniquenessName(const QString& text)
{
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii)
        return uniquenessName(text.toUtf8());
    const QStringView trimmed = QStringView(text).trimmed();
    QString name(trimmed.size() + 2, Qt::Uninitialized);
    QChar* out = name.data();
    *out++ = u't';
    *out++ = u':';
    for (const QChar c : trimmed)
        *out++ = c.unicode() >= u'A' && c.unicode() <= u'Z' ? QChar(c.unicode() + (u'a' - u'A')) : c;
    return name;
}

template <typename Candidates>
QList<PublicNetworkCandidate> firstOfEachName(Candidates&& candidates)
{
    // The identity is the broadcast bytes (the shown text when there are none); candidates of one
    // identity share one name, worked out once.
    using Identity = std::pair<QByteArray, QString>;
    const auto identities = distinctNames<Identity>(candidates, [](const PublicNetworkCandidate& candidate) {
        return candidate.ssidBytes.isEmpty() ? Identity(QByteArray(), candidate.ssid) : Identity(candidate.ssidBytes, QString());
    });
    QHash<QString, int> nameIndex;
    std::vector<int> nameOfIdentity;
    nameOfIdentity.reserve(identities.names.size());
    for (const Identity& identity : identities.names) {
        const QString name = identity.first.isEmpty() ? uniquenessName(identity.second) : uniquenessName(identity.first);
        auto found = nameIndex.constFind(name);
        if (found == nameIndex.constEnd())
            found = nameIndex.insert(name, int(nameIndex.size()));
        nameOfIdentity.push_back(*found);
    }
    // Open and secured access points of one name stay apart: the open one must stay joinable even when
    // a stronger secured one shares its name.
    std::vector<bool> seenOpen(size_t(nameIndex.size()), false);
    std::vector<bool> seenOther(size_t(nameIndex.size()), false);
    QList<PublicNetworkCandidate> unique;
    unique.reserve(qsizetype(nameIndex.size()) * 2);
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const size_t name = size_t(nameOfIdentity[size_t(identities.ofCandidate[size_t(i)])]);
        std::vector<bool>& seen = candidates[i].isOpen() ? seenOpen : seenOther;
        if (seen[name])
            continue;
        seen[name] = true;
        if constexpr (std::is_reference_v<Candidates>)
            unique.append(candidates[i]);
        else
            unique.append(std::move(candidates[i]));
    }
    return unique;
}

} // namespace

QList<PublicNetworkCandidate> uniqueCandidatesBySSID(const QList<PublicNetworkCandidate>& candidates)
{
    return firstOfEachName(candidates);
}

QList<PublicNetworkCandidate> uniqueCandidatesBySSID(QList<PublicNetworkCandidate>&& candidates)
{
    return firstOfEachName(std::move(candidates));
}
