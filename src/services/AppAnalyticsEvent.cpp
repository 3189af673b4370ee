#include "services/AppAnalyticsEvent.h"

using namespace Qt::StringLiterals;

AppAnalyticsEvent AppAnalyticsEvent::make(AppAnalyticsEventName name, QMap<QString, QString> parameters,
                                          const Clock& clock)
{
    return {name, std::move(parameters), microsSince1970(clock.now())};
}

qint64 microsSince1970(const QDateTime& moment)
{
    // QDateTime keeps milliseconds, so the rounded microsecond value is exact.
    return moment.toMSecsSinceEpoch() * 1000;
}

QString analyticsBool(bool value)
{
    return value ? u"true"_s : u"false"_s;
}
