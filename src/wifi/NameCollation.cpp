#include "wifi/NameCollation.h"

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// `items` sorted by `less` and the name of each numbered in that order; names not among them get -1.
template <typename Item, typename Less, typename NameOf>
std::vector<int> numbered(std::vector<Item> items, size_t nameCount, Less less, NameOf nameOf)
{
    std::sort(items.begin(), items.end(), less);
    std::vector<int> positions(nameCount, -1);
    int position = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0 && less(items[i - 1], items[i]))
            ++position;
        positions[size_t(nameOf(items[i]))] = position;
    }
    return positions;
}

} // namespace

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

NameCollation::NameCollation(std::vector<QStringView> names, ThreadCollator& collator)
    : m_names(std::move(names)), m_collator(collator), m_keys(m_collator.keysOrderAsCollator ? m_names.size() : 0)
{
}

int NameCollation::compare(int lhs, int rhs)
{
    if (lhs == rhs)
        return 0;
    const QStringView lhsName = m_names[size_t(lhs)];
    const QStringView rhsName = m_names[size_t(rhs)];
    if (!m_collator.keysOrderAsCollator)
        return m_collator.collator.compare(lhsName, rhsName);
    if (lhsName.isEmpty() || rhsName.isEmpty())
        return int(rhsName.isEmpty()) - int(lhsName.isEmpty());
    return key(lhs).compare(key(rhs));
}

std::vector<int> NameCollation::positions(std::vector<int> subset)
{
    if (std::optional<std::vector<AsciiKey>> keys = asciiKeys(subset))
        return numbered(std::move(*keys), m_names.size(), std::less<>(), [](const AsciiKey& key) { return key.name; });
    return numbered(std::move(subset), m_names.size(), [&](int lhs, int rhs) { return compare(lhs, rhs) < 0; }, [](int name) { return name; });
}

std::optional<std::vector<NameCollation::AsciiKey>> NameCollation::asciiKeys(const std::vector<int>& subset)
{
    if (!m_collator.asciiRanks)
        return std::nullopt;
    std::vector<AsciiKey> keys;
    keys.reserve(subset.size());
    std::vector<size_t> restStart;
    restStart.reserve(subset.size());
    std::string key;
    m_asciiRest.clear();
    for (const int name : subset) {
        // The empty name comes before all others, even those of ignored characters only.
        const QStringView text = m_names[size_t(name)];
        key.clear();
        if (!text.isEmpty())
            key.push_back('\x01');
        if (!m_collator.asciiRanks->appendKey(text, key))
            return std::nullopt;
        const auto word = [&key](size_t from) {
            quint64 value = 0;
            for (size_t i = from; i < from + 8; ++i)
                value = value << 8 | (i < key.size() ? uchar(key[i]) : 0);
            return value;
        };
        AsciiKey made;
        made.high = word(0);
        made.low = word(8);
        made.name = name;
        restStart.push_back(m_asciiRest.size());
        if (key.size() > 16)
            m_asciiRest.append(key, 16);
        keys.push_back(made);
    }
    // The rest is seen only now that its buffer has stopped growing.
    for (size_t i = 0; i < keys.size(); ++i) {
        const size_t end = i + 1 < keys.size() ? restStart[i + 1] : m_asciiRest.size();
        keys[i].rest = std::string_view(m_asciiRest).substr(restStart[i], end - restStart[i]);
    }
    return keys;
}

const QCollatorSortKey& NameCollation::key(int name)
{
    std::optional<QCollatorSortKey>& key = m_keys[size_t(name)];
    if (!key)
        key.emplace(m_collator.collator.sortKey(m_names[size_t(name)].toString()));
    return *key;
}
