#include "services/AppAnalyticsPreference.h"
#include "services/AppAnalyticsService.h"
#include "support/LogSinks.h"

#include "testkit/Await.h"
#include "testkit/LoopbackHttpServer.h"
#include "testkit/ManualClock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class AppAnalyticsServiceTest : public ::testing::Test {
protected:
    AppAnalyticsServiceTest()
        : defaults(std::make_shared<QSettings>(dir.filePath(u"defaults.ini"_s), QSettings::IniFormat))
    {
        server.route("/api/analytics/app", LoopbackHttpResponse::text(200, "{}"));
    }

    std::unique_ptr<AppAnalyticsService> makeService()
    {
        return std::make_unique<AppAnalyticsService>(AppAnalyticsService::Dependencies{
            server.url(u"/api/analytics/app"_s), defaults,
            std::make_shared<NetworkURLSession>(AppAnalyticsService::sessionConfiguration()),
            [] { return AppVersion{u"1.4.0"_s, u"140"_s}; }, false, &clock});
    }

    static AppAnalyticsEvent event(int number)
    {
        return {AppAnalyticsEventName::uiAction, {{u"n"_s, QString::number(number)}}, 1'000'000 + number};
    }

    QList<QJsonObject> uploads() const
    {
        QList<QJsonObject> bodies;
        for (const auto& request : server.requests("/api/analytics/app"))
            bodies.append(QJsonDocument::fromJson(request.body).object());
        return bodies;
    }

    static QStringList numbers(const QJsonObject& body)
    {
        QStringList list;
        for (const auto& value : body.value(u"events"_s).toArray())
            list.append(value.toObject().value(u"params"_s).toObject().value(u"n"_s).toString());
        return list;
    }

    void settle(AppAnalyticsService& service)
    {
        ASSERT_TRUE(spinUntil([&] { return !service.isFlushing(); }));
        // Let the runs that track() scheduled start and find nothing more to do.
        QCoreApplication::processEvents();
        ASSERT_TRUE(spinUntil([&] { return !service.isFlushing(); }));
    }

    QTemporaryDir dir;
    std::shared_ptr<QSettings> defaults;
    ManualClock clock{QDateTime::fromMSecsSinceEpoch(1'750'000'000'000, Qt::UTC)};
    LoopbackHttpServer server;
};

QStringList range(int from, int to)
{
    QStringList list;
    for (int n = from; n <= to; ++n)
        list.append(QString::number(n));
    return list;
}

} // namespace

TEST_F(AppAnalyticsServiceTest, UploadsTwentyThreeEventsInBatchesOfTenTenAndThreeWithTheWireShape)
{
    auto service = makeService();
    for (int n = 1; n <= 23; ++n)
        service->track(event(n));
    ASSERT_TRUE(spinUntil([&] { return service->queuedEvents().isEmpty(); }));
    settle(*service);

    const auto bodies = uploads();
    ASSERT_EQ(bodies.size(), 3);
    EXPECT_EQ(numbers(bodies[0]), range(1, 10));
    EXPECT_EQ(numbers(bodies[1]), range(11, 20));
    EXPECT_EQ(numbers(bodies[2]), range(21, 23));

    const QJsonObject body = bodies[0];
    QStringList keys = body.keys();
    keys.sort();
    EXPECT_EQ(keys, (QStringList{u"appVersion"_s, u"buildNumber"_s, u"events"_s, u"installationId"_s, u"locale"_s,
                                 u"osVersion"_s}));
    EXPECT_EQ(body.value(u"appVersion"_s).toString(), u"1.4.0"_s);
    EXPECT_EQ(body.value(u"buildNumber"_s).toString(), u"140"_s);
    EXPECT_EQ(body.value(u"installationId"_s).toString(), defaults->value(u"anonymousAnalyticsInstallationId"_s).toString());
    const QJsonObject first = body.value(u"events"_s).toArray().first().toObject();
    EXPECT_EQ(first.value(u"name"_s).toString(), u"ui_action"_s);
    EXPECT_EQ(first.value(u"timestampMicros"_s).toInteger(), 1'000'001);
    EXPECT_EQ(first.keys().size(), 3);
    for (const auto& upload : bodies) {
        for (const auto& value : upload.value(u"events"_s).toArray()) {
            const QJsonObject params = value.toObject().value(u"params"_s).toObject();
            EXPECT_EQ(params.value(u"analytics_schema"_s).toString(), u"2"_s);
            EXPECT_EQ(params.value(u"session_id"_s).toString(), service->sessionID());
        }
    }
    const auto request = server.requests("/api/analytics/app").first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.header("content-type"), QByteArray("application/json"));

    // An event's own parameters never replace the ones the service adds.
    const QJsonObject params = service->makePayload(
        {{AppAnalyticsEventName::appLaunch, {{u"session_id"_s, u"mine"_s}, {u"analytics_schema"_s, u"9"_s}}, 5}})
                                   .value(u"events"_s).toArray().first().toObject().value(u"params"_s).toObject();
    EXPECT_EQ(params.value(u"session_id"_s).toString(), service->sessionID());
    EXPECT_EQ(params.value(u"analytics_schema"_s).toString(), u"2"_s);
}

TEST_F(AppAnalyticsServiceTest, ARejectedBatchKeepsTheQueueUntilALaterEventRetries)
{
    server.route("/api/analytics/app", LoopbackHttpResponse::text(500, "down"));
    LogCapture logs;
    auto service = makeService();
    for (int n = 1; n <= 12; ++n)
        service->track(event(n));
    ASSERT_TRUE(spinUntil([&] { return server.requests().size() >= 1 && !service->isFlushing(); }));
    settle(*service);
    EXPECT_EQ(service->queuedEvents().size(), 12);
    EXPECT_TRUE(logs.contains(u"AppAnalytics"_s, u"Analytics batch rejected: status=500"_s));
    // Each scheduled run tried the first batch once and stopped.
    for (const auto& body : uploads())
        EXPECT_EQ(numbers(body), range(1, 10));

    server.route("/api/analytics/app", LoopbackHttpResponse::text(204, ""));
    const auto before = server.requests().size();
    service->track(event(13));
    ASSERT_TRUE(spinUntil([&] { return service->queuedEvents().isEmpty(); }));
    settle(*service);
    const auto bodies = uploads().mid(before);
    ASSERT_EQ(bodies.size(), 2);
    EXPECT_EQ(numbers(bodies[0]), range(1, 10));
    EXPECT_EQ(numbers(bodies[1]), range(11, 13));
}

TEST_F(AppAnalyticsServiceTest, EventsTrackedWhileABatchIsInFlightSurviveItsAcceptance)
{
    auto service = makeService();
    int calls = 0;
    server.route("/api/analytics/app", [&](const LoopbackHttpRequest&) {
        if (++calls == 1) {
            service->track(event(99));
            return LoopbackHttpResponse::text(200, "{}");
        }
        return LoopbackHttpResponse::text(503, "busy");
    });
    service->track(event(1));
    service->track(event(2));
    ASSERT_TRUE(spinUntil([&] { return calls >= 2; }));
    settle(*service);
    const auto queue = service->queuedEvents();
    ASSERT_EQ(queue.size(), 1);
    EXPECT_EQ(queue.first().event, event(99));
    EXPECT_EQ(numbers(uploads().first()), (QStringList{u"1"_s, u"2"_s}));
}

TEST_F(AppAnalyticsServiceTest, AMovedEndpointIsFollowedAFewHopsAndARedirectLoopKeepsTheQueue)
{
    server.route("/api/analytics/app", LoopbackHttpResponse::redirect(308, "/v2/analytics"));
    server.route("/v2/analytics", LoopbackHttpResponse::text(200, "{}"));
    auto service = makeService();
    service->track(event(1));
    ASSERT_TRUE(spinUntil([&] { return service->queuedEvents().isEmpty(); }));
    settle(*service);
    ASSERT_EQ(server.requests("/v2/analytics").size(), 1);
    EXPECT_EQ(server.requests("/v2/analytics").first().method, "POST");
    EXPECT_EQ(numbers(QJsonDocument::fromJson(server.requests("/v2/analytics").first().body).object()), QStringList{u"1"_s});

    // A loop is given up after a few hops and the events wait for a later run.
    server.route("/v2/analytics", LoopbackHttpResponse::redirect(308, "/api/analytics/app"));
    const auto before = server.requests().size();
    service->track(event(2));
    ASSERT_TRUE(spinUntil([&] { return server.requests().size() > before && !service->isFlushing(); }));
    settle(*service);
    EXPECT_EQ(service->queuedEvents().size(), 1);
    EXPECT_LE(server.requests().size() - before, 8);
}

TEST_F(AppAnalyticsServiceTest, AFailedTransportKeepsTheBatchAndAnEndlessAnswerDoesNotFillMemory)
{
    server.route("/api/analytics/app", LoopbackHttpResponse::endless(200, "{\"ok\":true}"));
    const QUrl nobody(u"http://127.0.0.1:1/api/analytics/app"_s);
    for (const QUrl& endpoint : {server.url(u"/api/analytics/app"_s), nobody}) {
        LogCapture logs;
        AppAnalyticsService service(AppAnalyticsService::Dependencies{
            endpoint, defaults, std::make_shared<NetworkURLSession>(AppAnalyticsService::sessionConfiguration()),
            [] { return AppVersion{}; }, false, &clock});
        service.track(event(1));
        ASSERT_TRUE(spinUntil([&] {
            return !logs.messages(u"AppAnalytics"_s).filter(u"Analytics batch failed: "_s).isEmpty();
        })) << endpoint.toString().toStdString();
        settle(service);
        EXPECT_EQ(service.queuedEvents().size(), 1) << endpoint.toString().toStdString();
        defaults->remove(u"anonymousAnalyticsEventQueue"_s);
    }
    EXPECT_LT(server.streamedBytes(), 64 * 1024 * 1024) << "read at loopback speed until the time-out, this is gigabytes";
}

TEST_F(AppAnalyticsServiceTest, ExpiryKeepsTheExactCutoffAndCapKeepsTheNewestHundred)
{
    const qint64 now = microsSince1970(clock.now());
    QList<QueuedAppAnalyticsEvent> stored;
    stored.append({event(0), now - AppAnalyticsService::maxQueuedEventAgeMicros - 1});
    stored.append({event(1), now - AppAnalyticsService::maxQueuedEventAgeMicros});
    for (int n = 2; n <= 100; ++n)
        stored.append({event(n), now - 1000});
    defaults->setValue(u"anonymousAnalyticsEventQueue"_s, AppAnalyticsQueueFormat::encode(stored));

    // No event loop runs here, so no upload starts.
    auto service = makeService();
    service->track(event(101));
    auto queue = service->queuedEvents();
    ASSERT_EQ(queue.size(), 100);
    EXPECT_EQ(queue.first().event, event(2)) << "expired 0 dropped, then 1 trimmed by the cap";
    EXPECT_EQ(queue.last().event, event(101));
    EXPECT_EQ(queue.last().queuedAtMicros, now);
    // The service keeps the queue decoded: what it wrote must be the format's compact JSON, and read
    // back from the file by another reader, the same queue.
    const QByteArray blob = defaults->value(u"anonymousAnalyticsEventQueue"_s).toByteArray();
    EXPECT_EQ(QJsonDocument::fromJson(blob).toJson(QJsonDocument::Compact), blob);
    defaults->sync();
    QSettings reread(defaults->fileName(), QSettings::IniFormat);
    const auto decoded = AppAnalyticsQueueFormat::decode(reread.value(u"anonymousAnalyticsEventQueue"_s).toByteArray());
    ASSERT_TRUE(std::holds_alternative<QList<QueuedAppAnalyticsEvent>>(decoded));
    EXPECT_EQ(std::get<QList<QueuedAppAnalyticsEvent>>(decoded), queue);

    // Below the cap only the expired entry goes.
    stored.resize(3);
    defaults->setValue(u"anonymousAnalyticsEventQueue"_s, AppAnalyticsQueueFormat::encode(stored));
    service->track(event(102));
    queue = service->queuedEvents();
    ASSERT_EQ(queue.size(), 3);
    EXPECT_EQ(queue.first().event, event(1));
}

TEST_F(AppAnalyticsServiceTest, UnreadableStoredQueuesAreDiscardedWhole)
{
    LogCapture logs;
    auto service = makeService();
    const QList<QByteArray> corrupt{"not json", "{\"event\":1}",
                                    R"([{"event":{"name":"nope","parameters":{},"timestampMicros":1},"queuedAtMicros":1}])",
                                    R"([{"event":{"name":"app_launch","parameters":{"a":3},"timestampMicros":1},"queuedAtMicros":1}])",
                                    R"([{"event":{"name":"app_launch","parameters":{},"timestampMicros":1.5},"queuedAtMicros":1}])"};
    for (const auto& blob : corrupt) {
        defaults->setValue(u"anonymousAnalyticsEventQueue"_s, blob);
        service->track(event(7));
        const auto queue = service->queuedEvents();
        ASSERT_EQ(queue.size(), 1) << blob.constData();
        EXPECT_EQ(queue.first().event, event(7));
    }
    EXPECT_EQ(logs.messages(u"AppAnalytics"_s).filter(u"Analytics queue decode failed: "_s).size(), corrupt.size());
}

TEST_F(AppAnalyticsServiceTest, TurnedOffDropsEventsAndNothingIsSent)
{
    LogCapture logs;
    auto service = makeService();
    defaults->setValue(u"anonymousAnalyticsEnabled"_s, false);
    service->track(event(1));
    EXPECT_TRUE(service->queuedEvents().isEmpty());
    EXPECT_TRUE(logs.contains(u"AppAnalytics"_s, u"Analytics event skipped: disabled"_s));

    // Read back from the file, the stored boolean must still count as off.
    defaults->sync();
    QSettings reread(defaults->fileName(), QSettings::IniFormat);
    EXPECT_FALSE(AppAnalyticsPreference::isEnabled(reread));
    reread.setValue(u"anonymousAnalyticsEnabled"_s, 3);
    EXPECT_TRUE(AppAnalyticsPreference::isEnabled(reread));
    reread.remove(u"anonymousAnalyticsEnabled"_s);
    EXPECT_TRUE(AppAnalyticsPreference::isEnabled(reread));
}

TEST_F(AppAnalyticsServiceTest, TestModeNeitherQueuesNorSends)
{
    auto service = std::make_unique<AppAnalyticsService>(AppAnalyticsService::Dependencies{
        server.url(u"/api/analytics/app"_s), defaults, std::make_shared<NetworkURLSession>(),
        [] { return AppVersion{}; }, true, &clock});
    service->track(event(1));
    await(service->flushPendingEvents());
    EXPECT_TRUE(service->queuedEvents().isEmpty());
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST(AppAnalyticsClientID, KeepsAWellFormedIdentifierAndReplacesAnythingElse)
{
    QTemporaryDir dir;
    QSettings defaults(dir.filePath(u"d.ini"_s), QSettings::IniFormat);
    defaults.setValue(u"anonymousAnalyticsInstallationId"_s, u"abc"_s);
    const QString made = AppAnalyticsClientID::value(defaults);
    EXPECT_TRUE(QRegularExpression(u"^\\d{9,10}\\.\\d+$"_s).match(made).hasMatch()) << made.toStdString();
    EXPECT_GE(made.section(u'.', 0, 0).toLongLong(), 100000000);
    EXPECT_LE(made.section(u'.', 0, 0).toLongLong(), 2147483647);
    EXPECT_EQ(defaults.value(u"anonymousAnalyticsInstallationId"_s).toString(), made);
    EXPECT_EQ(AppAnalyticsClientID::value(defaults), made);
    defaults.setValue(u"anonymousAnalyticsInstallationId"_s, u"12.34"_s);
    EXPECT_EQ(AppAnalyticsClientID::value(defaults), u"12.34"_s);
}
