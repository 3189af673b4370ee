#include "wifi/PublicNetworkRanking.h"

#include "wifi/NameCollation.h"
#include "wifi/ScanNamings.h"

#include <QHash>
#include <algorithm>
#include <optional>
#include <string>
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

std::vector<int> allOf(size_t count)
{
    std::vector<int> all(count);
    for (size_t i = 0; i < count; ++i)
        all[i] = int(i);
    return all;
}

// Ranking order: the better quality first, then the name's collation position; the scan index settles
// ties, so the order is the stable one.
struct RankKey {
    int quality;
    int name;
    qsizetype index;

    bool operator<(const RankKey& other) const
    {
        if (quality != other.quality)
            return quality > other.quality;
        if (name != other.name)
            return name < other.name;
        return index < other.index;
    }
};

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
    NameCollation collation(std::vector<QStringView>(names.names.cbegin(), names.names.cend()), threadCollator(locale));
    const std::vector<int> positions = collation.positions(allOf(names.names.size()));
    std::vector<RankKey> keys;
    keys.reserve(size_t(candidates.size()));
    for (qsizetype i = 0; i < candidates.size(); ++i)
        keys.push_back({candidates[i].quality, positions[size_t(names.ofCandidate[size_t(i)])], i});
    std::sort(keys.begin(), keys.end());
    std::vector<qsizetype> order;
    order.reserve(keys.size());
    for (const RankKey& key : keys)
        order.push_back(key.index);
    permute(candidates, order);
    return candidates;
}

namespace {

// The identity is the broadcast bytes (the shown text when there are none).
using Identity = std::pair<QByteArray, QString>;

Identity identityOf(const PublicNetworkCandidate& candidate)
{
    return candidate.ssidBytes.isEmpty() ? Identity(QByteArray(), candidate.ssid) : Identity(candidate.ssidBytes, QString());
}

// The uniqueness name of each identity, as an index into the distinct uniqueness names; `count` is
// set to how many there are.
std::vector<int> uniquenessNamesOf(const std::vector<Identity>& identities, qsizetype& count)
{
    QHash<QString, int> nameIndex;
    nameIndex.reserve(qsizetype(identities.size()));
    std::vector<int> nameOfIdentity;
    nameOfIdentity.reserve(identities.size());
    std::u16string key;
    for (const Identity& identity : identities) {
        key.clear();
        appendUniquenessName({identity.second, identity.first}, key);
        const QString name = QString::fromStdU16String(key);
        auto found = nameIndex.constFind(name);
        if (found == nameIndex.constEnd())
            found = nameIndex.insert(name, int(nameIndex.size()));
        nameOfIdentity.push_back(*found);
    }
    count = nameIndex.size();
    return nameOfIdentity;
}

template <typename Candidates>
QList<PublicNetworkCandidate> firstOfEachName(Candidates&& candidates)
{
    // Candidates of one identity share one name, worked out once.
    const auto identities = distinctNames<Identity>(candidates, identityOf);
    qsizetype nameCount = 0;
    const std::vector<int> nameOfIdentity = uniquenessNamesOf(identities.names, nameCount);
    // Open and secured access points of one name stay apart: the open one must stay joinable even when
    // a stronger secured one shares its name.
    std::vector<bool> seenOpen(size_t(nameCount), false);
    std::vector<bool> seenOther(size_t(nameCount), false);
    QList<PublicNetworkCandidate> unique;
    unique.reserve(nameCount * 2);
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

namespace {

// One network kept by de-duplication: its index in the scan and its rating.
struct Survivor {
    qsizetype index = -1;
    PublicNetworkRating rating;
};

// De-duplication and ranking in one pass over a scan, each entry met once: its naming is found, and it
// is kept when it ranks first among those of its name (open and secured apart) so far. The best
// quality ranks first, then the first shown name in collation order, then the first scanned.
class SurvivorPicker {
public:
    explicit SurvivorPicker(const QLocale& locale)
        : m_collator(threadCollator(locale))
    {
    }

    // The naming of an entry, and whether it is new.
    std::pair<int, bool> naming(QStringView ssid, QByteArrayView bytes)
    {
        const Naming naming{ssid, bytes};
        const auto [index, isNew] = m_namings.add(naming);
        if (isNew) {
            m_scratch.clear();
            appendUniquenessName(naming, m_scratch);
            const auto [name, isNewName] = m_names.add(m_scratch);
            m_nameOfNaming.push_back(name);
            if (isNewName)
                m_best.resize(m_best.size() + 2);
        }
        return {index, isNew};
    }

    void offer(qsizetype index, int naming, PublicNetworkRating rating)
    {
        const bool open = rating.security == NetworkSecurity::open;
        Best& held = m_best[size_t(m_nameOfNaming[size_t(naming)]) * 2 + (open ? 1 : 0)];
        const bool ranksFirst = held.survivor.index < 0 || rating.quality > held.survivor.rating.quality ||
                                (rating.quality == held.survivor.rating.quality && naming != held.naming &&
                                 m_collator.collator.compare(m_namings[naming].ssid, m_namings[held.naming].ssid) < 0);
        if (ranksFirst)
            held = {{index, rating}, naming};
    }

    // The survivors in ranked order.
    std::vector<Survivor> ranked() const
    {
        std::vector<Best> best;
        best.reserve(m_best.size());
        std::copy_if(m_best.cbegin(), m_best.cend(), std::back_inserter(best), [](const Best& held) { return held.survivor.index >= 0; });
        // Only the survivors' names are put in collation order.
        std::vector<int> survivingNames;
        survivingNames.reserve(best.size());
        for (const Best& held : best)
            survivingNames.push_back(held.naming);
        std::sort(survivingNames.begin(), survivingNames.end());
        survivingNames.erase(std::unique(survivingNames.begin(), survivingNames.end()), survivingNames.end());
        std::vector<QStringView> shownNames(m_nameOfNaming.size());
        for (const int naming : survivingNames)
            shownNames[size_t(naming)] = m_namings[naming].ssid;
        NameCollation collation(std::move(shownNames), m_collator);
        const std::vector<int> positions = collation.positions(std::move(survivingNames));

        // In ranking order (RankKey's), each with its rating's class alongside.
        struct Ranked {
            RankKey key;
            NetworkSecurity security;
        };
        std::vector<Ranked> keys;
        keys.reserve(best.size());
        for (const Best& held : best) {
            const Survivor& survivor = held.survivor;
            keys.push_back({{survivor.rating.quality, positions[size_t(held.naming)], survivor.index}, survivor.rating.security});
        }
        std::sort(keys.begin(), keys.end(), [](const Ranked& lhs, const Ranked& rhs) { return lhs.key < rhs.key; });
        std::vector<Survivor> ranked;
        ranked.reserve(keys.size());
        for (const Ranked& each : keys)
            ranked.push_back({each.key.index, {each.key.quality, each.security}});
        return ranked;
    }

private:
    struct Best {
        Survivor survivor;
        int naming = 0;
    };

    DistinctNamings m_namings;
    std::vector<int> m_nameOfNaming; // the uniqueness name of each naming
    DistinctUniquenessNames m_names;
    std::u16string m_scratch;
    std::vector<Best> m_best; // by uniqueness name: the secured survivor, then the open one
    ThreadCollator& m_collator;
};

} // namespace

QList<PublicNetworkCandidate> rankedUniqueCandidates(QList<PublicNetworkCandidate> candidates, const QLocale& locale)
{
    SurvivorPicker picker(locale);
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const PublicNetworkCandidate& candidate = std::as_const(candidates)[i];
        picker.offer(i, picker.naming(candidate.ssid, candidate.ssidBytes).first, {candidate.quality, candidate.security});
    }
    const std::vector<Survivor> survivors = picker.ranked();
    QList<PublicNetworkCandidate> ranked;
    ranked.reserve(qsizetype(survivors.size()));
    for (const Survivor& survivor : survivors)
        ranked.append(std::move(candidates[survivor.index]));
    return ranked;
}

QList<PublicNetworkCandidate> rankedUniqueCandidates(const QList<ScannedNetworkRecord>& records, const PublicNetworkScoring& scorer,
                                                     const QLocale& locale)
{
    SurvivorPicker picker(locale);
    // A crowded scan repeats its names: each naming's part of the score is worked out when it is first
    // met (none for a name the scorer does not take).
    std::vector<std::optional<int>> nameScores;
    for (qsizetype i = 0; i < records.size(); ++i) {
        const ScannedNetworkRecord& record = records.at(i);
        if (!record.ssid)
            continue;
        const auto [naming, isNew] = picker.naming(*record.ssid, record.ssidBytes);
        if (isNew)
            nameScores.push_back(scorer.nameScore(*record.ssid));
        if (const std::optional<int> nameScore = nameScores[size_t(naming)])
            picker.offer(i, naming, scorer.rating(record, *nameScore));
    }
    // The candidates are made in scan order, where the records lie one after another, and each is put
    // in its ranked place: read in ranked order, every record would be a miss of the cache.
    const std::vector<Survivor> survivors = picker.ranked();
    std::vector<int> placeOf(size_t(records.size()), -1); // by record: its place in the ranking
    for (size_t place = 0; place < survivors.size(); ++place)
        placeOf[size_t(survivors[place].index)] = int(place);
    QList<PublicNetworkCandidate> ranked(qsizetype(survivors.size()));
    PublicNetworkCandidate* const slots = ranked.data();
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (const int place = placeOf[size_t(i)]; place >= 0)
            slots[place] = scorer.candidate(records.at(i), survivors[size_t(place)].rating);
    }
    return ranked;
}
