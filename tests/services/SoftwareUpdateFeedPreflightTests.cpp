#include "connectivity/NetworkURLSession.h"
#include "services/SoftwareUpdateFeedPreflight.h"
#include "testkit/Await.h"
#include "testkit/LoopbackHttpServer.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray appcast = R"(<?xml version="1.0"?>
<rss version="2.0" xmlns:sparkle="https://brewbeacon.app/xml-namespaces/appcast"><channel><item>
<enclosure url="https://h/a.tar.gz" sparkle:version="2" length="1" type="application/gzip"/></item></channel></rss>)";

class RecordingSleeper : public RetrySleeping {
public:
    QCoro::Task<> sleep(quint64 nanoseconds) override
    {
        sleeps.append(nanoseconds);
        co_return;
    }
    QList<quint64> sleeps;
};

class FeedPreflightTest : public ::testing::Test {
protected:
    SoftwareUpdateFeedPreflightResult check(std::chrono::milliseconds timeout = std::chrono::seconds(5))
    {
        NetworkURLSessionConfiguration configuration;
        configuration.requestTimeout = timeout;
        SoftwareUpdateFeedPreflight preflight(server.url(u"/appcast.xml"_s),
                                              std::make_shared<NetworkURLSession>(configuration), 3, 500'000'000,
                                              sleeper);
        return await(preflight.checkFeed());
    }
    // Answers in turn, the last one repeated.
    void answerInTurn(QList<LoopbackHttpResponse> answers)
    {
        server.route("/appcast.xml", [this, answers](const LoopbackHttpRequest&) {
            return answers.at(std::min<qsizetype>(served++, answers.size() - 1));
        });
    }

    LoopbackHttpServer server;
    std::shared_ptr<RecordingSleeper> sleeper = std::make_shared<RecordingSleeper>();
    int served = 0;
};

} // namespace

TEST_F(FeedPreflightTest, ValidFeedIsAvailableAfterOnePlainGet)
{
    server.route("/appcast.xml", LoopbackHttpResponse::text(200, appcast));
    EXPECT_EQ(check(), SoftwareUpdateFeedPreflightResult::available());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().method, "GET");
}

TEST_F(FeedPreflightTest, WrongAnswersAreRetriedAtOnceAndTheLastOneNamesTheProblem)
{
    server.route("/appcast.xml", LoopbackHttpResponse::text(503, "busy"));
    EXPECT_EQ(check().message, u"BrewBeacon could not reach the update feed. Server returned 503."_s);
    EXPECT_EQ(server.requests().size(), 3);
    EXPECT_TRUE(sleeper->sleeps.isEmpty());

    // Only the last answer counts: an earlier 404 does not colour a final HTML page.
    answerInTurn({LoopbackHttpResponse::text(404, ""), LoopbackHttpResponse::text(200, "<html><body>hi</body></html>")});
    EXPECT_EQ(check().message, u"BrewBeacon reached the update feed, but the response was not a valid appcast."_s);

    served = 0;
    answerInTurn({LoopbackHttpResponse::text(500, ""), LoopbackHttpResponse::text(404, "")});
    EXPECT_EQ(check().message, u"The update feed is still refreshing. Try again in a moment."_s);

    served = 0;
    answerInTurn({LoopbackHttpResponse::text(404, ""), LoopbackHttpResponse::text(200, appcast)});
    EXPECT_TRUE(check().isAvailable());
    EXPECT_EQ(served, 2);
    EXPECT_TRUE(sleeper->sleeps.isEmpty());
}

TEST_F(FeedPreflightTest, TimeOutsWaitBetweenAttempts)
{
    answerInTurn({LoopbackHttpResponse::silent(), LoopbackHttpResponse::silent(), LoopbackHttpResponse::text(200, appcast)});
    EXPECT_TRUE(check(std::chrono::milliseconds(200)).isAvailable());
    EXPECT_EQ(sleeper->sleeps, (QList<quint64>{500'000'000, 500'000'000}));

    served = 0;
    sleeper->sleeps.clear();
    answerInTurn({LoopbackHttpResponse::silent()});
    EXPECT_EQ(check(std::chrono::milliseconds(200)).message,
              u"BrewBeacon could not reach the update feed. Check your internet connection and try again."_s);
    EXPECT_EQ(sleeper->sleeps.size(), 2); // none after the last attempt
}

TEST(SoftwareUpdateFeedPreflight, AppcastShapeIsTextMatchedWithoutRegardToCase)
{
    EXPECT_TRUE(SoftwareUpdateFeedPreflight::hasValidAppcastShape(appcast));
    EXPECT_TRUE(SoftwareUpdateFeedPreflight::hasValidAppcastShape(appcast.toUpper()));
    EXPECT_FALSE(SoftwareUpdateFeedPreflight::hasValidAppcastShape(QByteArray(appcast).replace("<item>", "<entry>")));
    EXPECT_FALSE(SoftwareUpdateFeedPreflight::hasValidAppcastShape(appcast + "\xff\xfe"));
    EXPECT_FALSE(SoftwareUpdateFeedPreflight::hasValidAppcastShape({}));
}

TEST(SoftwareUpdateFeedPreflight, FeedURLFromTheBuildOnlyWhenItIsHttp)
{
    qputenv("BREWBEACON_SERVICE_URL", "http://127.0.0.1:8765");
    const QUrl fallback(u"http://127.0.0.1:8765/appcast.xml"_s);
    const auto feedFor = [](const QString& value) {
        return SoftwareUpdateFeedPreflight::defaultFeedURL(BundleInfo({{u"SUFeedURL"_s, value}}));
    };
    EXPECT_EQ(SoftwareUpdateFeedPreflight::defaultFeedURL(BundleInfo()), fallback);
    EXPECT_EQ(feedFor(u"file:///tmp/appcast.xml"_s), fallback);
    EXPECT_EQ(feedFor(u"not a url at all"_s), fallback);
    EXPECT_EQ(feedFor(u"https://updates.example/feed.xml"_s), QUrl(u"https://updates.example/feed.xml"_s));
    qunsetenv("BREWBEACON_SERVICE_URL");
}
