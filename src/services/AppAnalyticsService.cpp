#include "services/AppAnalyticsService.h"

#include "services/AppAnalyticsPreference.h"
#include "services/ProductServiceURL.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QPointer>
#include <QSysInfo>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Launch time in milliseconds, fixed for the life of the process.
QString processSessionID()
{
    static const QString id = QString::number(std::max<qint64>(1, QDateTime::currentMSecsSinceEpoch()));
    return id;
}

} // namespace

NetworkURLSessionConfiguration AppAnalyticsService::sessionConfiguration()
{
    NetworkURLSessionConfiguration configuration;
    configuration.requestTimeout = std::chrono::seconds(5);
    configuration.resourceTimeout = std::chrono::seconds(8);
    configuration.useCache = false;
    configuration.keepCookies = false;
    // A moved endpoint is followed a few hops (never from https to http); without that a 308 would keep
    // every event queued for good. The answer itself is only a status, so its body stays small.
    configuration.followRedirects = true;
    configuration.maxRedirects = 3;
    configuration.maxBodyBytes = 16 * 1024;
    return configuration;
}

AppAnalyticsService::AppAnalyticsService(Dependencies dependencies, QObject* parent)
    : QObject(parent), m_endpointURL(std::move(dependencies.endpointURL)), m_defaults(std::move(dependencies.defaults)),
      m_session(std::move(dependencies.session)), m_appVersionProvider(std::move(dependencies.appVersionProvider)),
      m_isDisabledForTests(dependencies.isDisabledForTests), m_clock(dependencies.clock), m_sessionID(processSessionID())
{
}

AppAnalyticsService& AppAnalyticsService::shared()
{
    static AppAnalyticsService* instance = new AppAnalyticsService(
        {ProductServiceURL::endpoint(endpointPath()), std::make_shared<QSettings>(),
         std::make_shared<NetworkURLSession>(sessionConfiguration()), &AppVersion::current,
         qEnvironmentVariableIsSet("BREWBEACON_DISABLE_ANALYTICS"), &Clock::system()});
    return *instance;
}

qint64 AppAnalyticsService::nowMicros() const
{
    return microsSince1970(m_clock->now());
}

void AppAnalyticsService::track(const AppAnalyticsEvent& event)
{
    if (m_isDisabledForTests)
        return;
    if (!AppAnalyticsPreference::isEnabled(*m_defaults)) {
        m_logger.debug("Analytics event skipped: disabled");
        return;
    }
    enqueue(event);
    // Uploads start from the event loop so track() returns before any network work begins.
    QTimer::singleShot(0, this, [self = QPointer<AppAnalyticsService>(this)] {
        if (self)
            self->flushPendingEvents();
    });
}

void AppAnalyticsService::enqueue(const AppAnalyticsEvent& event)
{
    QList<QueuedAppAnalyticsEvent> queue = loadQueuedEvents();
    queue.append({event, nowMicros()});
    queue = nonExpiredEvents(queue);
    if (queue.size() > maxQueuedEvents)
        queue.remove(0, queue.size() - maxQueuedEvents);
    saveQueuedEvents(queue);
}

QList<QueuedAppAnalyticsEvent> AppAnalyticsService::loadQueuedEvents()
{
    const QVariant stored = m_defaults->value(queueDefaultsKey());
    if (!stored.isValid())
        return {};
    // The store is read every time (anything may have replaced the blob); only an unchanged blob is
    // taken as already decoded.
    const QByteArray blob = stored.toByteArray();
    if (auto known = m_storedQueue.entriesOf(blob))
        return *std::move(known);
    auto decoded = AppAnalyticsQueueFormat::decode(blob);
    if (const QString* failure = std::get_if<QString>(&decoded)) {
        m_logger.debug("Analytics queue decode failed: %{public}s", *failure);
        m_storedQueue.forget();
        m_defaults->remove(queueDefaultsKey());
        return {};
    }
    auto& queue = std::get<QList<QueuedAppAnalyticsEvent>>(decoded);
    m_storedQueue.remember(blob, queue);
    return std::move(queue);
}

void AppAnalyticsService::saveQueuedEvents(const QList<QueuedAppAnalyticsEvent>& queue)
{
    if (queue.isEmpty()) {
        m_storedQueue.forget();
        m_defaults->remove(queueDefaultsKey());
    } else {
        m_defaults->setValue(queueDefaultsKey(), m_storedQueue.encode(queue));
    }
}

QList<QueuedAppAnalyticsEvent> AppAnalyticsService::nonExpiredEvents(const QList<QueuedAppAnalyticsEvent>& queue) const
{
    const qint64 cutoff = nowMicros() - maxQueuedEventAgeMicros;
    QList<QueuedAppAnalyticsEvent> kept;
    for (const auto& entry : queue) {
        if (entry.queuedAtMicros >= cutoff)
            kept.append(entry);
    }
    return kept;
}

// Removes the sent entries wherever they now are: while the batch was in flight, newer events were
// appended and the cap may have pushed some of the sent ones out already.
void AppAnalyticsService::removeSent(const QList<QueuedAppAnalyticsEvent>& sent)
{
    QList<QueuedAppAnalyticsEvent> queue = loadQueuedEvents();
    // Sent entries are the oldest, so the first equal entry is the one that was sent.
    for (const auto& entry : sent) {
        const qsizetype index = queue.indexOf(entry);
        if (index >= 0)
            queue.removeAt(index);
    }
    saveQueuedEvents(queue);
}

QJsonObject AppAnalyticsService::makePayload(const QList<AppAnalyticsEvent>& events)
{
    const AppVersion version = m_appVersionProvider();
    QJsonArray eventObjects;
    for (const auto& event : events) {
        QJsonObject params;
        for (auto it = event.parameters.cbegin(); it != event.parameters.cend(); ++it)
            params.insert(it.key(), it.value());
        params.insert(u"analytics_schema"_s, u"2"_s);
        params.insert(u"session_id"_s, m_sessionID);
        eventObjects.append(QJsonObject{{u"name"_s, rawValue(event.name)},
                                        {u"timestampMicros"_s, event.timestampMicros},
                                        {u"params"_s, params}});
    }
    return QJsonObject{{u"installationId"_s, AppAnalyticsClientID::value(*m_defaults)},
                       {u"appVersion"_s, version.marketingVersion},
                       {u"buildNumber"_s, version.buildNumber},
                       {u"osVersion"_s, QSysInfo::prettyProductName()},
                       {u"locale"_s, QLocale().name()},
                       {u"events"_s, eventObjects}};
}

QCoro::Task<> AppAnalyticsService::flushPendingEvents()
{
    if (m_isDisabledForTests || !AppAnalyticsPreference::isEnabled(*m_defaults) || m_isFlushing)
        co_return;
    m_isFlushing = true;
    saveQueuedEvents(nonExpiredEvents(loadQueuedEvents()));

    QPointer<AppAnalyticsService> self(this);
    // The session outlives the service if the service goes away mid-request.
    const std::shared_ptr<URLSessionProtocol> session = m_session;
    for (;;) {
        const QList<QueuedAppAnalyticsEvent> queue = self->loadQueuedEvents();
        if (queue.isEmpty())
            break;
        const QList<QueuedAppAnalyticsEvent> batch = queue.first(std::min<qsizetype>(queue.size(), maxBatchSize));
        QList<AppAnalyticsEvent> events;
        for (const auto& entry : batch)
            events.append(entry.event);

        HTTPRequest request;
        request.url = self->m_endpointURL;
        request.method = QByteArrayLiteral("POST");
        request.timeout = std::chrono::seconds(5);
        request.headers = {{QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json")}};
        request.body = QJsonDocument(self->makePayload(events)).toJson(QJsonDocument::Compact);

        const URLSessionResult result = co_await session->data(std::move(request));
        if (!self)
            co_return;
        if (result.error) {
            self->m_logger.debug("Analytics batch failed: %{public}s", *result.error);
            break;
        }
        if (result.response && (result.response->statusCode < 200 || result.response->statusCode > 299)) {
            self->m_logger.debug("Analytics batch rejected: status=%{public}ld", qint64(result.response->statusCode));
            break;
        }
        self->removeSent(batch);
    }
    self->m_isFlushing = false;
}
