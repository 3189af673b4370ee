#include "connectivity/NetworkURLSession.h"
#include "testkit/Await.h"
#include "testkit/LoopbackHttpServer.h"

#include <QTcpServer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

HTTPRequest get(const QUrl& url)
{
    HTTPRequest request;
    request.url = url;
    return request;
}

} // namespace

TEST(NetworkURLSession, AnyHttpStatusIsAnAnswerWithBodyHeadersAndUrl)
{
    LoopbackHttpServer server;
    auto notFound = LoopbackHttpResponse::text(404, "gone");
    notFound.headers.append(qMakePair(QByteArray("X-Probe"), QByteArray("yes")));
    server.route("/ok", LoopbackHttpResponse::text(200, "hello"));
    server.route("/missing", notFound);
    NetworkURLSession session;

    const URLSessionResult ok = await(session.data(get(server.url(u"/ok"_s))));
    ASSERT_TRUE(ok.isSuccess()) << ok.error->toStdString();
    EXPECT_EQ(ok.body, "hello");
    EXPECT_EQ(ok.response->statusCode, 200);
    EXPECT_EQ(ok.response->url, server.url(u"/ok"_s));

    const URLSessionResult missing = await(session.data(get(server.url(u"/missing"_s))));
    ASSERT_TRUE(missing.isSuccess());
    EXPECT_EQ(missing.response->statusCode, 404);
    EXPECT_EQ(missing.body, "gone");
    EXPECT_EQ(missing.response->header("x-probe"), QByteArray("yes"));
}

TEST(NetworkURLSession, SendsMethodHeadersAndBody)
{
    LoopbackHttpServer server;
    server.route("/api", LoopbackHttpResponse::text(202, ""));
    NetworkURLSession session;
    HTTPRequest request = get(server.url(u"/api"_s));
    request.method = "POST";
    request.headers = {{"Content-Type", "application/json"}};
    request.body = R"({"a":1})";

    const URLSessionResult result = await(session.data(request));
    ASSERT_TRUE(result.isSuccess());
    EXPECT_EQ(result.response->statusCode, 202);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first().method, "POST");
    EXPECT_EQ(server.requests().first().header("content-type"), QByteArray("application/json"));
    EXPECT_EQ(server.requests().first().body, R"({"a":1})");
}

TEST(NetworkURLSession, HandsRedirectsToTheCallerUnlessToldToFollow)
{
    LoopbackHttpServer server;
    server.route("/start", LoopbackHttpResponse::redirect(302, "/next"));
    server.route("/next", LoopbackHttpResponse::text(200, "arrived"));

    NetworkURLSession manual;
    const URLSessionResult first = await(manual.data(get(server.url(u"/start"_s))));
    ASSERT_TRUE(first.isSuccess());
    EXPECT_EQ(first.response->statusCode, 302);
    EXPECT_EQ(first.response->header("Location"), QByteArray("/next"));
    EXPECT_TRUE(server.requests("/next").isEmpty());

    NetworkURLSessionConfiguration following;
    following.followRedirects = true;
    NetworkURLSession follower(following);
    const URLSessionResult second = await(follower.data(get(server.url(u"/start"_s))));
    ASSERT_TRUE(second.isSuccess());
    EXPECT_EQ(second.response->statusCode, 200);
    EXPECT_EQ(second.body, "arrived");
    EXPECT_EQ(second.response->url, server.url(u"/next"_s));
}

TEST(NetworkURLSession, FollowsABoundedNumberOfRedirects)
{
    LoopbackHttpServer server;
    server.route("/a", LoopbackHttpResponse::redirect(301, "/b"));
    server.route("/b", LoopbackHttpResponse::redirect(308, "/c"));
    server.route("/c", LoopbackHttpResponse::redirect(302, "/d"));
    server.route("/d", LoopbackHttpResponse::text(200, "end"));

    NetworkURLSessionConfiguration following;
    following.followRedirects = true;
    following.maxRedirects = 3;
    EXPECT_EQ(await(NetworkURLSession(following).data(get(server.url(u"/a"_s)))).body, "end");

    following.maxRedirects = 2;
    const URLSessionResult tooMany = await(NetworkURLSession(following).data(get(server.url(u"/a"_s))));
    EXPECT_FALSE(tooMany.isSuccess());
}

TEST(NetworkURLSession, AnAnswerPastTheBodyLimitIsAnErrorNotABuffer)
{
    LoopbackHttpServer server;
    server.route("/big", LoopbackHttpResponse::text(200, QByteArray(512 * 1024, 'x')));
    server.route("/small", LoopbackHttpResponse::text(200, QByteArray(4096, 'y')));

    NetworkURLSessionConfiguration capped;
    capped.maxBodyBytes = 16 * 1024;
    NetworkURLSession session(capped);
    const URLSessionResult big = await(session.data(get(server.url(u"/big"_s))));
    EXPECT_EQ(big.error, NetworkURLSession::oversizeDescription(16 * 1024));
    EXPECT_TRUE(big.body.isEmpty());

    const URLSessionResult small = await(session.data(get(server.url(u"/small"_s))));
    ASSERT_TRUE(small.isSuccess());
    EXPECT_EQ(small.body.size(), 4096);
}

TEST(NetworkURLSession, TruncatingSessionKeepsTheStartOfAnEndlessAnswer)
{
    LoopbackHttpServer server;
    server.route("/endless", LoopbackHttpResponse::endless(200, "0123456789"));
    server.route("/exact", LoopbackHttpResponse::text(200, QByteArray(100, 'z')));
    NetworkURLSessionConfiguration truncating;
    truncating.maxBodyBytes = 100;
    truncating.keepTruncatedBody = true;
    NetworkURLSession session(truncating);
    const URLSessionResult endless = await(session.data(get(server.url(u"/endless"_s))));
    ASSERT_TRUE(endless.isSuccess());
    EXPECT_TRUE(endless.bodyTruncated);
    EXPECT_EQ(endless.body, QByteArray("0123456789").repeated(10));
    EXPECT_EQ(endless.response->statusCode, 200);

    const URLSessionResult exact = await(session.data(get(server.url(u"/exact"_s))));
    EXPECT_FALSE(exact.bodyTruncated);
    EXPECT_EQ(exact.body.size(), 100);
}

TEST(NetworkURLSession, EphemeralSessionNeitherKeepsNorSendsCookies)
{
    LoopbackHttpServer server;
    auto setter = LoopbackHttpResponse::text(200, "");
    setter.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("session=abc; Path=/")));
    server.route("/set", setter);
    server.route("/check", LoopbackHttpResponse::text(200, ""));
    NetworkURLSession session;

    ASSERT_TRUE(await(session.data(get(server.url(u"/set"_s)))).isSuccess());
    ASSERT_TRUE(await(session.data(get(server.url(u"/check"_s)))).isSuccess());
    ASSERT_EQ(server.requests("/check").size(), 1);
    EXPECT_FALSE(server.requests("/check").first().header("Cookie").has_value());
}

TEST(NetworkURLSession, WithoutReuseEveryRequestOpensItsOwnConnection)
{
    LoopbackHttpServer server;
    server.route("/page", LoopbackHttpResponse::text(200, "x"));

    NetworkURLSession reusing;
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(await(reusing.data(get(server.url(u"/page"_s)))).isSuccess());
    EXPECT_EQ(server.connectionCount(), 1);

    NetworkURLSessionConfiguration fresh;
    fresh.reuseConnections = false;
    NetworkURLSession closing(fresh);
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(await(closing.data(get(server.url(u"/page"_s)))).isSuccess());
    EXPECT_EQ(server.connectionCount(), 3);
}

TEST(NetworkURLSession, TransportFailuresAndTimeoutsAreErrors)
{
    QTcpServer closed; // a port nobody listens on once the server is closed
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 deadPort = closed.serverPort();
    closed.close();
    NetworkURLSession session;
    const URLSessionResult refused = await(session.data(get(QUrl(u"http://127.0.0.1:%1/"_s.arg(deadPort)))));
    EXPECT_FALSE(refused.isSuccess());
    EXPECT_FALSE(refused.response.has_value());

    LoopbackHttpServer server;
    server.route("/silent", LoopbackHttpResponse::silent());
    HTTPRequest quiet = get(server.url(u"/silent"_s));
    quiet.timeout = 100ms;
    const URLSessionResult idle = await(session.data(quiet));
    EXPECT_EQ(idle.error, NetworkURLSession::timeoutDescription());

    // The whole-exchange limit holds even when the per-request one would allow more.
    NetworkURLSessionConfiguration bounded;
    bounded.resourceTimeout = 100ms;
    NetworkURLSession boundedSession(bounded);
    const URLSessionResult whole = await(boundedSession.data(get(server.url(u"/silent"_s))));
    EXPECT_EQ(whole.error, NetworkURLSession::timeoutDescription());
}

TEST(NetworkURLSession, NonHttpAnswerHasNoResponse)
{
    NetworkURLSession session;
    const URLSessionResult result = await(session.data(get(QUrl(u"data:text/plain,Success"_s))));
    ASSERT_TRUE(result.isSuccess()) << result.error->toStdString();
    EXPECT_FALSE(result.response.has_value());
    EXPECT_EQ(result.body, "Success");
}
