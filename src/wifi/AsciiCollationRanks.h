#pragma once

#include <QStringView>

#include <array>
#include <optional>
#include <string>

class QCollator;

// A collator's order on plain-ASCII names as a table: each character's rank, equal for characters the
// collator does not tell apart (a letter and its capital when case is ignored) and none for those it
// ignores. Names then order as their strings of ranks do, which costs a fraction of a collation key.
// The table is made only where that holds: a locale that joins ASCII letters into one (Danish "aa",
// Welsh "ch") or expands one orders differently, and gets no table.
class AsciiCollationRanks {
public:
    // The table for `collator`, or none when some name of one or two ASCII characters orders otherwise.
    static std::optional<AsciiCollationRanks> derive(const QCollator& collator);

    // Appends the ranks of `name` to `key`; false, with `key` as it was, when the name is not plain ASCII.
    bool appendKey(QStringView name, std::string& key) const;

private:
    std::array<unsigned char, 128> m_rank{};
};
