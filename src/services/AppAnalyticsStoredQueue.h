#pragma once

#include "services/AppAnalyticsQueue.h"

#include <QByteArray>
#include <QList>
#include <optional>

// The stored queue as last written or read, kept decoded beside its blob and with each entry's encoded
// form. At the cap every event would otherwise decode and re-encode all hundred entries; here a track
// encodes the one new entry and joins the rest. The blob it writes is byte for byte the format's own.
class AppAnalyticsStoredQueue {
public:
    // The entries of `blob` when it is the blob last written or read; otherwise nothing, and the
    // caller decodes it.
    std::optional<QList<QueuedAppAnalyticsEvent>> entriesOf(const QByteArray& blob) const;
    // Remembers a blob just decoded into `entries`.
    void remember(const QByteArray& blob, const QList<QueuedAppAnalyticsEvent>& entries);
    // The blob of `queue`, reusing the encoded form of every entry already known.
    QByteArray encode(const QList<QueuedAppAnalyticsEvent>& queue);
    void forget();

private:
    QByteArray m_blob;
    QList<QueuedAppAnalyticsEvent> m_entries;
    QList<QByteArray> m_encoded; // one per entry, or empty when the blob was read rather than written
    bool m_known = false;
};
