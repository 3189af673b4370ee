#pragma once

#include "services/AppAnalyticsEventName.h"
#include "support/Clock.h"

#include <QMap>
#include <QString>

// One usage event. Parameter values are always text: counts in decimal, booleans "true"/"false".
struct AppAnalyticsEvent {
    AppAnalyticsEventName name = AppAnalyticsEventName::appLaunch;
    QMap<QString, QString> parameters;
    // Microseconds since 1970 when the event happened.
    qint64 timestampMicros = 0;

    // An event stamped now.
    static AppAnalyticsEvent make(AppAnalyticsEventName name, QMap<QString, QString> parameters = {},
                                  const Clock& clock = Clock::system());

    bool operator==(const AppAnalyticsEvent&) const = default;
};

// Microseconds since 1970 of a moment (the stamp of events and queue entries).
qint64 microsSince1970(const QDateTime& moment);
// "true" or "false", the way boolean parameters are written.
QString analyticsBool(bool value);
