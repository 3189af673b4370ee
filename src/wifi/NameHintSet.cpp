#include "wifi/NameHintSet.h"

#include <algorithm>
#include <bit>

NameHintSet::NameHintSet(const QStringList& hints)
{
    for (const QString& hint : hints) {
        std::u16string text(QStringView(hint).utf16(), size_t(hint.size()));
        if (text.empty()) {
            m_hasEmpty = true;
        } else if (text.front() < m_startingWith.size() && m_hints.size() < 32) {
            m_startingWith[text.front()] |= quint32(1) << m_hints.size();
            m_hints.push_back(std::move(text));
        } else {
            m_others.push_back(std::move(text));
        }
    }
}

bool NameHintSet::foundIn(std::u16string_view text) const
{
    if (m_hasEmpty)
        return true;
    for (size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (c >= m_startingWith.size())
            continue;
        for (quint32 bits = m_startingWith[c]; bits != 0; bits &= bits - 1) {
            const std::u16string& hint = m_hints[size_t(std::countr_zero(bits))];
            if (text.substr(at).starts_with(hint))
                return true;
        }
    }
    return std::any_of(m_others.cbegin(), m_others.cend(), [&](const std::u16string& hint) {
        return text.find(hint) != std::u16string_view::npos;
    });
}
