#pragma once

#include "wifi/AsciiCollationRanks.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The collator of this thread for `locale`: made once, not per ranking (collators are not safe to share
// between threads). Whether its sort keys order as it compares is worked out with it.
struct ThreadCollator {
    QCollator collator;
    // Sort keys order as the collator does, except in the C locale (whose keys ignore the case
    // setting) and for the empty name (always first).
    bool keysOrderAsCollator = false;
    std::optional<AsciiCollationRanks> asciiRanks;
};

ThreadCollator& threadCollator(const QLocale& locale);

// Distinct names compared in the locale's collation order, ignoring case; names the collator calls equal
// compare equal. A name's sort key is made the first time it is compared: a key per name costs far less
// than a collation per comparison. The names are seen in place and must outlive this.
class NameCollation {
public:
    NameCollation(std::vector<QStringView> names, ThreadCollator& collator);

    // The position of each of `subset` in collation order (names that compare equal share one); the
    // names outside it get none. When every name of `subset` is plain ASCII (most are), they are ordered
    // by their ranks and no collation key is made.
    std::vector<int> positions(std::vector<int> subset);

private:
    int compare(int lhs, int rhs);

    // A name's string of ranks, its first sixteen bytes held in place: a key holds no zero byte, so
    // these, padded with zeros, order as the key does up to them. Most names differ there and are
    // told apart without a look at the rest.
    struct AsciiKey {
        quint64 high = 0;
        quint64 low = 0;
        std::string_view rest; // the bytes after the first sixteen
        int name = 0;

        bool operator<(const AsciiKey& other) const
        {
            if (high != other.high)
                return high < other.high;
            if (low != other.low)
                return low < other.low;
            return rest < other.rest;
        }
    };

    // None unless the locale has a rank table and every name of `subset` is plain ASCII. The longer
    // keys' rest lives in `m_asciiRest`.
    std::optional<std::vector<AsciiKey>> asciiKeys(const std::vector<int>& subset);
    const QCollatorSortKey& key(int name);

    const std::vector<QStringView> m_names;
    ThreadCollator& m_collator;
    std::vector<std::optional<QCollatorSortKey>> m_keys;
    std::string m_asciiRest;
};
