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
};
