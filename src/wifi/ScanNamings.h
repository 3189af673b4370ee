#pragma once

#include "wifi/DistinctIndex.h"

#include <QByteArrayView>
#include <QHashFunctions>
#include <QStringView>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A scanned network's shown name (what ranks) and broadcast bytes (with it, what de-duplicates), seen
// in place: the records and candidates being ranked hold them unchanged until the ranking is done.
struct Naming {
    QStringView ssid;
    QByteArrayView bytes;
};

// The distinct namings of a scan. Each is copied once into two compact buffers that later entries
// are compared with: the first entry of a name lies far back in the scan, and its strings would
// otherwise be a miss of the cache each time.
class DistinctNamings {
public:
    // The number of `naming`, and whether it is new.
    std::pair<int, bool> add(Naming naming)
    {
        // A scanned name's text is decoded from its bytes, so the bytes alone spread the pairs as well.
        const size_t hash = naming.bytes.isEmpty() ? qHash(naming.ssid, m_seed) : qHash(naming.bytes, m_seed);
        const auto found = m_index.findOrAdd(DistinctIndex::folded(hash), [&](int known) {
            const Copy& copy = m_copies[size_t(known)];
            return size_t(naming.bytes.size()) == copy.bytesLength && size_t(naming.ssid.size()) == copy.textLength &&
                   sameUnits(naming.bytes.data(), m_bytes.data() + copy.bytes, copy.bytesLength) &&
                   sameUnits(naming.ssid.utf16(), m_text.data() + copy.text, copy.textLength);
        });
        if (found.second) {
            m_namings.push_back(naming);
            m_copies.push_back({m_text.size(), size_t(naming.ssid.size()), m_bytes.size(), size_t(naming.bytes.size())});
            m_text.append(naming.ssid.utf16(), size_t(naming.ssid.size()));
            m_bytes.append(naming.bytes.data(), size_t(naming.bytes.size()));
        }
        return found;
    }

    const Naming& operator[](int naming) const { return m_namings[size_t(naming)]; }

private:
    // Where a naming's copies start in the buffers, and their lengths.
    struct Copy {
        size_t text;
        size_t textLength;
        size_t bytes;
        size_t bytesLength;
    };

    const size_t m_seed = QHashSeed::globalSeed();
    DistinctIndex m_index;
    std::vector<Naming> m_namings;
    std::vector<Copy> m_copies;
    std::u16string m_text;
    std::string m_bytes;
};

// Appends the uniqueness name of a network to `out`: names that differ only in case or surrounding
// blanks are one network. It is made of the bytes when there are any, else of the text. A name that is
// not valid UTF-8 is named by its bytes, so its shown form ("\\xE9") never merges with a name spelled
// that way.
void appendUniquenessName(Naming naming, std::u16string& out);

// The distinct uniqueness names of a scan, copied into one buffer.
class DistinctUniquenessNames {
public:
    // The number of `name`, and whether it is new.
    std::pair<int, bool> add(std::u16string_view name)
    {
        const size_t hash = qHash(QStringView(name.data(), qsizetype(name.size())), m_seed);
        const auto found = m_index.findOrAdd(DistinctIndex::folded(hash), [&](int known) {
            const auto [start, length] = m_spans[size_t(known)];
            return name.size() == length && sameUnits(name.data(), m_text.data() + start, length);
        });
        if (found.second) {
            m_spans.push_back({m_text.size(), name.size()});
            m_text.append(name);
        }
        return found;
    }

private:
    const size_t m_seed = QHashSeed::globalSeed();
    DistinctIndex m_index;
    std::vector<std::pair<size_t, size_t>> m_spans; // by name: start and length in the buffer
    std::u16string m_text;
};
