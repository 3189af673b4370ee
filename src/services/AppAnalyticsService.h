#pragma once

#include "connectivity/NetworkURLSession.h"
#include "services/AppAnalyticsQueue.h"
#include "services/AppAnalyticsReporting.h"
#include "services/AppAnalyticsStoredQueue.h"
#include "services/AppVersion.h"
#include "support/Logger.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QObject>
#include <QSettings>
#include <QUrl>
#include <memory>

// Queues usage events in the settings store and uploads them in batches to the product service.
// Main thread only. Nothing is queued or sent while the user has analytics off.
class AppAnalyticsService : public QObject, public AppAnalyticsReporting {
    Q_OBJECT
public:
    struct Dependencies {
        QUrl endpointURL;
        std::shared_ptr<QSettings> defaults;
        std::shared_ptr<URLSessionProtocol> session;
        AppVersionProvider appVersionProvider = &AppVersion::current;
        bool isDisabledForTests = false;
        const Clock* clock = &Clock::system();
    };

    static constexpr int maxQueuedEvents = 100;
    static constexpr int maxBatchSize = 10;
    static constexpr qint64 maxQueuedEventAgeMicros = 259'200'000'000;

    static QString queueDefaultsKey() { return QStringLiteral("anonymousAnalyticsEventQueue"); }
    static QString endpointPath() { return QStringLiteral("/api/analytics/app"); }
    // Set in the environment of test runs and demos that must never upload.
    static QString disableVariable() { return QStringLiteral("BREWBEACON_DISABLE_ANALYTICS"); }
    static NetworkURLSessionConfiguration sessionConfiguration();

    explicit AppAnalyticsService(Dependencies dependencies, QObject* parent = nullptr);

    // The application's instance, made on first use.
    static AppAnalyticsService& shared();

    void track(const AppAnalyticsEvent& event) override;
    // The upload loop; returns at once when a run is already going.
    QCoro::Task<> flushPendingEvents();

    bool isFlushing() const { return m_isFlushing; }
    const QString& sessionID() const { return m_sessionID; }
    const QUrl& endpointURL() const { return m_endpointURL; }
    // The stored queue as the next run would read it.
    QList<QueuedAppAnalyticsEvent> queuedEvents() { return loadQueuedEvents(); }

    QJsonObject makePayload(const QList<AppAnalyticsEvent>& events);

private:
    void enqueue(const AppAnalyticsEvent& event);
    QList<QueuedAppAnalyticsEvent> loadQueuedEvents();
    void saveQueuedEvents(const QList<QueuedAppAnalyticsEvent>& queue);
    QList<QueuedAppAnalyticsEvent> nonExpiredEvents(const QList<QueuedAppAnalyticsEvent>& queue) const;
    void removeSent(const QList<QueuedAppAnalyticsEvent>& sent);
    qint64 nowMicros() const;

    QUrl m_endpointURL;
    std::shared_ptr<QSettings> m_defaults;
    std::shared_ptr<URLSessionProtocol> m_session;
    AppVersionProvider m_appVersionProvider;
    bool m_isDisabledForTests = false;
    const Clock* m_clock;
    QString m_sessionID;
    AppAnalyticsStoredQueue m_storedQueue;
    Logger m_logger{QStringLiteral("AppAnalytics")};
    bool m_isFlushing = false;
};
