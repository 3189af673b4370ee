#pragma once

#include "services/AppAnalyticsEvent.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <variant>

// One entry of the persistent upload queue.
struct QueuedAppAnalyticsEvent {
    AppAnalyticsEvent event;
    // When it entered the queue; expiry is measured on this, not on the event's own stamp.
    qint64 queuedAtMicros = 0;

    bool operator==(const QueuedAppAnalyticsEvent&) const = default;
};

// The stored queue blob: a JSON array, oldest first.
class AppAnalyticsQueueFormat {
public:
    static QByteArray encode(const QList<QueuedAppAnalyticsEvent>& queue);
    // The entries, or a description of why the blob is unreadable.
    static std::variant<QList<QueuedAppAnalyticsEvent>, QString> decode(const QByteArray& blob);

    // The blob piece by piece: one entry's JSON object, and the array of such objects.
    static QByteArray encodeEntry(const QueuedAppAnalyticsEvent& entry);
    static QByteArray joinEntries(const QList<QByteArray>& encodedEntries);
    // One entry's object as encodeEntry writes it, or why it is unreadable.
    static std::variant<QueuedAppAnalyticsEvent, QString> decodeEntry(const QByteArray& encodedEntry);
};
