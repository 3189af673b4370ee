#include "services/AppAnalyticsStoredQueue.h"

std::optional<QList<QueuedAppAnalyticsEvent>> AppAnalyticsStoredQueue::entriesOf(const QByteArray& blob) const
{
    if (!m_known || blob != m_blob)
        return std::nullopt;
    return m_entries;
}

void AppAnalyticsStoredQueue::remember(const QByteArray& blob, const QList<QueuedAppAnalyticsEvent>& entries)
{
    m_blob = blob;
    m_entries = entries;
    m_encoded.clear();
    m_known = true;
}

QByteArray AppAnalyticsStoredQueue::encode(const QList<QueuedAppAnalyticsEvent>& queue)
{
    QList<QByteArray> encoded;
    encoded.reserve(queue.size());
    // Only an entry that reads back as itself is kept: then the entries kept are exactly what decoding
    // the blob would give.
    bool readsBack = true;
    // A queue keeps its order, losing old entries and gaining new ones, so known entries are looked for
    // from just past the last one found.
    qsizetype next = 0;
    for (const QueuedAppAnalyticsEvent& entry : queue) {
        qsizetype found = -1;
        if (m_known && m_encoded.size() == m_entries.size()) {
            for (qsizetype i = next; i < m_entries.size() && found < 0; ++i) {
                if (m_entries[i] == entry)
                    found = i;
            }
        }
        if (found >= 0) {
            encoded.append(m_encoded[found]);
            next = found + 1;
            continue;
        }
        QByteArray bytes = AppAnalyticsQueueFormat::encodeEntry(entry);
        const auto readBack = AppAnalyticsQueueFormat::decodeEntry(bytes);
        const auto* decoded = std::get_if<QueuedAppAnalyticsEvent>(&readBack);
        readsBack = readsBack && decoded && *decoded == entry;
        encoded.append(std::move(bytes));
    }
    QByteArray blob = AppAnalyticsQueueFormat::joinEntries(encoded);
    if (readsBack) {
        m_blob = blob;
        m_entries = queue;
        m_encoded = std::move(encoded);
        m_known = true;
    } else {
        forget();
    }
    return blob;
}

void AppAnalyticsStoredQueue::forget()
{
    m_blob.clear();
    m_entries.clear();
    m_encoded.clear();
    m_known = false;
}
