#include "wifi/AsciiCollationRanks.h"

#include <QCollator>
#include <QString>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

constexpr char16_t asciiEnd = 0x80;

QString textOf(std::initializer_list<char16_t> units)
{
    QString text;
    for (const char16_t unit : units)
        text.append(QChar(unit));
    return text;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

std::optional<AsciiCollationRanks> AsciiCollationRanks::derive(const QCollator& collator)
{
    AsciiCollationRanks ranks;
    std::vector<char16_t> units(asciiEnd);
    std::iota(units.begin(), units.end(), char16_t(0));
    std::vector<QString> singles;
    for (const char16_t unit : units)
        singles.push_back(textOf({unit}));
    std::stable_sort(units.begin(), units.end(),
                     [&](char16_t lhs, char16_t rhs) { return collator.compare(singles[lhs], singles[rhs]) < 0; });
    // Rank 0 is kept for "ignored"; the others count up through the collator's order. Whether a character
    // is ignored shows beside a letter: the collator orders the empty name before any other.
    unsigned char rank = 0;
    const QString letter = textOf({u'a'});
    const QString* previous = nullptr;
    for (const char16_t unit : units) {
        const QString& single = singles[unit];
        if (collator.compare(letter + single, letter) == 0)
            continue;
        if (!previous || collator.compare(*previous, single) < 0)
            ++rank;
        ranks.m_rank[unit] = rank;
        previous = &single;
    }

    // Every name of one character, and of two printable ones, must order by its ranks exactly as the
    // collator orders it: contractions and expansions show up there. Sorted by ranks, each neighbour
    // compared by the collator proves the two orders the same on all of them.
    std::vector<QString> names = singles;
    for (char16_t first = 0x20; first < 0x7F; ++first) {
        for (char16_t second = 0x20; second < 0x7F; ++second)
            names.push_back(textOf({first, second}));
    }
    std::vector<std::string> keys(names.size());
    for (size_t i = 0; i < names.size(); ++i)
        ranks.appendKey(names[i], keys[i]);
    std::vector<size_t> order(names.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t lhs, size_t rhs) { return keys[lhs] < keys[rhs]; });
    for (size_t i = 1; i < order.size(); ++i) {
        const size_t lhs = order[i - 1];
        const size_t rhs = order[i];
        if (sign(keys[lhs].compare(keys[rhs])) != sign(collator.compare(names[lhs], names[rhs])))
            return std::nullopt;
    }
    return ranks;
}

bool AsciiCollationRanks::appendKey(QStringView name, std::string& key) const
{
    const size_t start = key.size();
    for (const QChar c : name) {
        const char16_t unit = c.unicode();
        if (unit >= asciiEnd) {
            key.resize(start);
            return false;
        }
        if (const unsigned char rank = m_rank[unit])
            key.push_back(char(rank));
    }
    return true;
}
