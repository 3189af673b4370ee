#include "wifi/PublicNetworkRanking.h"

#include "wifi/AsciiCollationRanks.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QHash>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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

// What ranking and de-duplication read of each scanned network, whether it is already a candidate or
// only a record that may never become one.
struct RankEntry {
    const QString* ssid;
    const QByteArray* ssidBytes;
    PublicNetworkRating rating;
};

// The same for the pair of shown name and broadcast bytes, found in place: no copy of either and no
// node per entry, as ten thousand entries would otherwise cost. The table's hash is seeded as QHash's
// is, so names chosen to collide cannot slow it down.
struct DistinctNamings {
    std::vector<qsizetype> firstOf; // the first entry with each pair
    std::vector<int> ofEntry;
};

DistinctNamings distinctNamings(const std::vector<RankEntry>& entries)
{
    DistinctNamings distinct;
    distinct.ofEntry.reserve(entries.size());
    // At most two thirds full, and small slots: the table stays in the cache.
    size_t capacity = 16;
    while (capacity * 2 < entries.size() * 3)
        capacity *= 2;
    struct Slot {
        quint32 hash = 0;
        int naming = -1;
    };
    std::vector<Slot> table(capacity);
    const size_t seed = QHashSeed::globalSeed();
    for (size_t i = 0; i < entries.size(); ++i) {
        const RankEntry& entry = entries[i];
        // A scanned name's text is decoded from its bytes, so the bytes alone spread the pairs as well.
        const size_t fullHash = entry.ssidBytes->isEmpty() ? qHash(QStringView(*entry.ssid), seed)
                                                           : qHash(QByteArrayView(*entry.ssidBytes), seed);
        const quint32 hash = quint32(fullHash ^ (quint64(fullHash) >> 32));
        for (size_t at = hash & (capacity - 1);; at = (at + 1) & (capacity - 1)) {
            Slot& slot = table[at];
            if (slot.naming < 0) {
                slot = {hash, int(distinct.firstOf.size())};
                distinct.firstOf.push_back(qsizetype(i));
                distinct.ofEntry.push_back(slot.naming);
                break;
            }
            if (slot.hash != hash)
                continue;
            const RankEntry& first = entries[size_t(distinct.firstOf[size_t(slot.naming)])];
            if (*first.ssid == *entry.ssid && *first.ssidBytes == *entry.ssidBytes) {
                distinct.ofEntry.push_back(slot.naming);
                break;
            }
        }
    }
    return distinct;
}

// The collator of this thread for `locale`: made once, not per ranking (collators are not safe to share
// between threads). Whether its sort keys order as it compares is worked out with it.
struct ThreadCollator {
    QCollator collator;
    // Sort keys order as the collator does, except in the C locale (whose keys ignore the case
    // setting) and for the empty name (always first).
    bool keysOrderAsCollator = false;
    std::optional<AsciiCollationRanks> asciiRanks;
};

ThreadCollator& threadCollator(const QLocale& locale)
{
    thread_local std::unique_ptr<ThreadCollator> made;
    if (!made || made->collator.locale() != locale) {
        made = std::make_unique<ThreadCollator>();
        made->collator.setLocale(locale);
        made->collator.setCaseSensitivity(Qt::CaseInsensitive);
        QCollator& collator = made->collator;
        made->keysOrderAsCollator = locale.language() != QLocale::C &&
                                    collator.sortKey(u"a"_s).compare(collator.sortKey(u"B"_s)) < 0 &&
                                    collator.sortKey(u"a"_s).compare(collator.sortKey(u"A"_s)) == 0;
        made->asciiRanks = AsciiCollationRanks::derive(collator);
    }
    return *made;
}

// Distinct names compared in the locale's collation order, ignoring case; names the collator calls equal
// compare equal. A name's sort key is made the first time it is compared: a key per name costs far less
// than a collation per comparison.
class NameCollation {
public:
    NameCollation(const std::vector<QString>& names, const QLocale& locale)
        : m_names(names), m_collator(threadCollator(locale)), m_keys(m_collator.keysOrderAsCollator ? names.size() : 0)
    {
    }

    int compare(int lhs, int rhs)
    {
        if (lhs == rhs)
            return 0;
        const QString& lhsName = m_names[size_t(lhs)];
        const QString& rhsName = m_names[size_t(rhs)];
        if (!m_collator.keysOrderAsCollator)
            return m_collator.collator.compare(lhsName, rhsName);
        if (lhsName.isEmpty() || rhsName.isEmpty())
            return int(rhsName.isEmpty()) - int(lhsName.isEmpty());
        return key(lhs).compare(key(rhs));
    }

    // The same for a pair compared once: collated directly, so no key is made for a name that may not
    // be needed again.
    int compareOnce(int lhs, int rhs) const
    {
        if (lhs == rhs)
            return 0;
        return m_collator.collator.compare(m_names[size_t(lhs)], m_names[size_t(rhs)]);
    }

    // The position of each of `subset` in collation order (names that compare equal share one); the
    // names outside it get none. When every name of `subset` is plain ASCII (most are), they are ordered
    // by their ranks and no collation key is made.
    std::vector<int> positions(std::vector<int> subset)
    {
        if (const std::optional<AsciiKeys> keys = asciiKeys(subset))
            return numbered(std::move(subset), [&](int lhs, int rhs) { return keys->of(lhs) < keys->of(rhs); });
        return numbered(std::move(subset), [&](int lhs, int rhs) { return compare(lhs, rhs) < 0; });
    }

private:
    // `subset` sorted by `less` and numbered in that order.
    template <typename Less>
    std::vector<int> numbered(std::vector<int> subset, Less less) const
    {
        std::sort(subset.begin(), subset.end(), less);
        std::vector<int> positions(m_names.size(), -1);
        int position = 0;
        for (size_t i = 0; i < subset.size(); ++i) {
            if (i > 0 && less(subset[i - 1], subset[i]))
                ++position;
            positions[size_t(subset[i])] = position;
        }
        return positions;
    }

    // The rank keys of the names of a subset, held in one buffer. Kept as offsets, not views: a
    // short buffer lives inside the string and moves with it.
    struct AsciiKeys {
        std::string bytes;
        std::vector<std::pair<size_t, size_t>> spanOf; // by name: start and length; empty outside the subset

        std::string_view of(int name) const
        {
            const auto [start, length] = spanOf[size_t(name)];
            return std::string_view(bytes).substr(start, length);
        }
    };

    // None unless the locale has a rank table and every name of `subset` is plain ASCII.
    std::optional<AsciiKeys> asciiKeys(const std::vector<int>& subset) const
    {
        if (!m_collator.asciiRanks)
            return std::nullopt;
        AsciiKeys keys;
        keys.spanOf.resize(m_names.size());
        for (const int name : subset) {
            // The empty name comes before all others, even those of ignored characters only.
            const QString& text = m_names[size_t(name)];
            const size_t start = keys.bytes.size();
            if (!text.isEmpty())
                keys.bytes.push_back('\x01');
            if (!m_collator.asciiRanks->appendKey(text, keys.bytes))
                return std::nullopt;
            keys.spanOf[size_t(name)] = {start, keys.bytes.size() - start};
        }
        return keys;
    }

    const QCollatorSortKey& key(int name)
    {
        std::optional<QCollatorSortKey>& key = m_keys[size_t(name)];
        if (!key)
            key.emplace(m_collator.collator.sortKey(m_names[size_t(name)]));
        return *key;
    }

    const std::vector<QString>& m_names;
    ThreadCollator& m_collator;
    std::vector<std::optional<QCollatorSortKey>> m_keys;
};

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
    NameCollation collation(names.names, locale);
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

// Names that differ only in case or surrounding blanks are one network. A name that is not valid UTF-8
// is keyed by its bytes, so its shown form ("\\xE9") never merges with a name spelled that way.
char16_t unitOf(QChar c)
{
    return c.unicode();
}

char16_t unitOf(char c)
{
    return uchar(c);
}

// The uniqueness name of a plain-ASCII name, given as bytes or as text.
QString asciiUniquenessName(auto units)
{
    const auto isBlank = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    auto begin = units.begin();
    auto end = units.end();
    while (begin != end && isBlank(unitOf(*begin)))
        ++begin;
    while (end != begin && isBlank(unitOf(*(end - 1))))
        --end;
    QString name(qsizetype(end - begin) + 2, Qt::Uninitialized);
    QChar* out = name.data();
    *out++ = u't';
    *out++ = u':';
    for (auto at = begin; at != end; ++at) {
        const char16_t c = unitOf(*at);
        *out++ = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c);
    }
    return name;
}

QString uniquenessName(const QByteArray& bytes)
{
    // Plain ASCII (most names) is valid UTF-8 as it stands and lower-cases letter by letter.
    if (std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; }))
        return asciiUniquenessName(QByteArrayView(bytes));
    const QString text = QString::fromUtf8(bytes);
    const bool validText = text.toUtf8() == bytes;
    return validText ? u"t:"_s + text.trimmed().toLower() : u"b:"_s + QString::fromLatin1(bytes.trimmed().toHex());
}

// The same for a name known only as text. Plain ASCII (most names) survives the trip through UTF-8
// unchanged and lower-cases letter by letter, into one new string.
QString uniquenessName(const QString& text)
{
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii ? asciiUniquenessName(QStringView(text)) : uniquenessName(text.toUtf8());
}

// The identity is the broadcast bytes (the shown text when there are none).
using Identity = std::pair<QByteArray, QString>;

Identity identityOf(const QString& ssid, const QByteArray& ssidBytes)
{
    return ssidBytes.isEmpty() ? Identity(QByteArray(), ssid) : Identity(ssidBytes, QString());
}

// The uniqueness name of each identity, as an index into the distinct uniqueness names; `count` is
// set to how many there are.
std::vector<int> uniquenessNamesOf(const std::vector<Identity>& identities, qsizetype& count)
{
    QHash<QString, int> nameIndex;
    nameIndex.reserve(qsizetype(identities.size()));
    std::vector<int> nameOfIdentity;
    nameOfIdentity.reserve(identities.size());
    for (const Identity& identity : identities) {
        const QString name = identity.first.isEmpty() ? uniquenessName(identity.second) : uniquenessName(identity.first);
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
    const auto identities = distinctNames<Identity>(candidates, [](const PublicNetworkCandidate& candidate) {
        return identityOf(candidate.ssid, candidate.ssidBytes);
    });
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

// The entries that survive de-duplication, in ranked order.
std::vector<qsizetype> rankedSurvivors(const std::vector<RankEntry>& entries, const QLocale& locale)
{
    // Each entry's shown name (what ranks) and broadcast bytes (with it, what de-duplicates), worked
    // out once per distinct pair of them.
    const DistinctNamings namings = distinctNamings(entries);
    std::vector<QString> shownNames;
    std::vector<Identity> identities;
    shownNames.reserve(namings.firstOf.size());
    identities.reserve(namings.firstOf.size());
    for (const qsizetype first : namings.firstOf) {
        const RankEntry& entry = entries[size_t(first)];
        shownNames.push_back(*entry.ssid);
        identities.push_back(identityOf(*entry.ssid, *entry.ssidBytes));
    }
    qsizetype nameCount = 0;
    const std::vector<int> nameOfNaming = uniquenessNamesOf(identities, nameCount);
    NameCollation collation(shownNames, locale);

    // The survivor of each name (open and secured apart) is the one ranked first among them: the best
    // quality, then the first name in collation order, then the first scanned.
    struct Best {
        qsizetype index = -1;
        int quality = 0;
        int naming = 0;
    };
    std::vector<Best> best(size_t(nameCount) * 2);
    for (size_t i = 0; i < entries.size(); ++i) {
        const int naming = namings.ofEntry[i];
        const int quality = entries[i].rating.quality;
        const bool open = entries[i].rating.security == NetworkSecurity::open;
        Best& held = best[size_t(nameOfNaming[size_t(naming)]) * 2 + (open ? 1 : 0)];
        const bool ranksFirst = held.index < 0 || quality > held.quality ||
                                (quality == held.quality && naming != held.naming && collation.compareOnce(naming, held.naming) < 0);
        if (ranksFirst)
            held = {qsizetype(i), quality, naming};
    }

    // Only the survivors are ranked.
    best.erase(std::remove_if(best.begin(), best.end(), [](const Best& held) { return held.index < 0; }), best.end());
    std::vector<int> survivingNames;
    survivingNames.reserve(best.size());
    for (const Best& held : best)
        survivingNames.push_back(held.naming);
    std::sort(survivingNames.begin(), survivingNames.end());
    survivingNames.erase(std::unique(survivingNames.begin(), survivingNames.end()), survivingNames.end());
    const std::vector<int> positions = collation.positions(std::move(survivingNames));
    std::vector<RankKey> keys;
    keys.reserve(best.size());
    for (const Best& held : best)
        keys.push_back({held.quality, positions[size_t(held.naming)], held.index});
    std::sort(keys.begin(), keys.end());
    std::vector<qsizetype> ranked;
    ranked.reserve(keys.size());
    for (const RankKey& key : keys)
        ranked.push_back(key.index);
    return ranked;
}

} // namespace

QList<PublicNetworkCandidate> rankedUniqueCandidates(QList<PublicNetworkCandidate> candidates, const QLocale& locale)
{
    std::vector<RankEntry> entries;
    entries.reserve(size_t(candidates.size()));
    for (const PublicNetworkCandidate& candidate : std::as_const(candidates))
        entries.push_back({&candidate.ssid, &candidate.ssidBytes, {candidate.quality, candidate.security}});
    const std::vector<qsizetype> survivors = rankedSurvivors(entries, locale);
    QList<PublicNetworkCandidate> ranked;
    ranked.reserve(qsizetype(survivors.size()));
    for (const qsizetype index : survivors)
        ranked.append(std::move(candidates[index]));
    return ranked;
}

QList<PublicNetworkCandidate> rankedUniqueCandidates(const QList<ScannedNetworkRecord>& records, const PublicNetworkScoring& scorer,
                                                     const QLocale& locale)
{
    std::vector<RankEntry> entries;
    std::vector<qsizetype> recordOf;
    entries.reserve(size_t(records.size()));
    recordOf.reserve(size_t(records.size()));
    for (qsizetype i = 0; i < records.size(); ++i) {
        const ScannedNetworkRecord& record = records.at(i);
        if (const std::optional<PublicNetworkRating> rating = scorer.rating(record)) {
            entries.push_back({&*record.ssid, &record.ssidBytes, *rating});
            recordOf.push_back(i);
        }
    }
    const std::vector<qsizetype> survivors = rankedSurvivors(entries, locale);
    QList<PublicNetworkCandidate> ranked;
    ranked.reserve(qsizetype(survivors.size()));
    for (const qsizetype index : survivors)
        ranked.append(scorer.candidate(records.at(recordOf[size_t(index)]), entries[size_t(index)].rating));
    return ranked;
}
