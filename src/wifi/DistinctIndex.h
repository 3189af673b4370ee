#pragma once

#include <QtGlobal>

#include <cstddef>
#include <utility>
#include <vector>

// An open-addressing index of distinct items held elsewhere, numbered as they come. A slot keeps
// only an item's hash and number, so the table stays small enough for the cache and needs no node per
// item, as ten thousand entries would otherwise cost. Hashes are seeded as QHash's are, so names chosen
// to collide cannot slow it down.
class DistinctIndex {
public:
    // The number of the item with `hash` that `isItem` accepts, else the next number, now taken; and
    // whether it was taken.
    template <typename IsItem>
    std::pair<int, bool> findOrAdd(quint32 hash, IsItem isItem)
    {
        if (size_t(m_count) * 3 >= m_slots.size() * 2)
            grow();
        const size_t mask = m_slots.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            Slot& slot = m_slots[at];
            if (slot.item < 0) {
                slot = {hash, m_count};
                return {m_count++, true};
            }
            if (slot.hash == hash && isItem(slot.item))
                return {slot.item, false};
        }
    }

    static quint32 folded(size_t hash) { return quint32(hash ^ (quint64(hash) >> 32)); }

private:
    struct Slot {
        quint32 hash = 0;
        int item = -1;
    };

    // Twice the room: at most two thirds full.
    void grow()
    {
        std::vector<Slot> slots(m_slots.size() * 2);
        const size_t mask = slots.size() - 1;
        for (const Slot& slot : m_slots) {
            if (slot.item < 0)
                continue;
            size_t at = slot.hash & mask;
            while (slots[at].item >= 0)
                at = (at + 1) & mask;
            slots[at] = slot;
        }
        m_slots = std::move(slots);
    }

    std::vector<Slot> m_slots = std::vector<Slot>(16);
    int m_count = 0;
};

// Two runs of units are the same; short names are compared in place rather than by a call.
template <typename Unit>
bool sameUnits(const Unit* lhs, const Unit* rhs, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (lhs[i] != rhs[i])
            return false;
    }
    return true;
}
