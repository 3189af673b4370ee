#pragma once

#include <QStringList>

#include <array>
#include <string_view>
#include <vector>

// Fragments looked for inside a name. One pass over the name tries, at each character, only the
// fragments that begin with it: a scan asks for every fragment of every network.
class NameHintSet {
public:
    explicit NameHintSet(const QStringList& hints);

    // Whether any fragment occurs in `text`.
    bool foundIn(std::u16string_view text) const;

private:
    std::vector<std::u16string> m_hints;
    // For each ASCII character, the fragments (bits, by index) that begin with it.
    std::array<quint32, 128> m_startingWith{};
    // Fragments beginning beyond ASCII, or too many to index: searched one by one.
    std::vector<std::u16string> m_others;
    bool m_hasEmpty = false;
};
