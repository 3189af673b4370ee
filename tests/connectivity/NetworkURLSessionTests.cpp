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

TEST(NetworkURLSession, AnyHttpStatusIsAnAnswerAndTheRequestGoesOutAsBuilt)
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

    HTTPRequest post = get(server.url(u"/missing"_s));
    post.method = "POST";
    post.headers = {{"Content-Type", "application/json"}};
    post.body = R"({"a":1})";
    const URLSessionResult missing = await(session.data(post));
    ASSERT_TRUE(missing.isSuccess());
    EXPECT_EQ(missing.response->statusCode, 404);
    EXPECT_EQ(missing.body, "gone");
    EXPECT_EQ(missing.response->header("x-probe"), QByteArray("yes"));
    const auto sent = server.requests("/missing");
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent.first().method, "POST");
    EXPECT_EQ(sent.first().header("content-type"), QByteArray("application/json"));
    EXPECT_EQ(sent.first().body, R"({"a":1})");
}

TEST(NetworkURLSession, HandsRedirectsToTheCallerUnlessToldToFollowABoundedNumber)
{
    LoopbackHttpServer server;
    server.route("/a", LoopbackHttpResponse::redirect(301, "/b"));
    server.route("/b", LoopbackHttpResponse::redirect(308, "/c"));
    server.route("/c", LoopbackHttpResponse::redirect(302, "/d"));
    server.route("/d", LoopbackHttpResponse::text(200, "end"));

    NetworkURLSession manual;
    const URLSessionResult first = await(manual.data(get(server.url(u"/c"_s))));
    ASSERT_TRUE(first.isSuccess());
    EXPECT_EQ(first.response->statusCode, 302);
    EXPECT_EQ(first.response->header("Location"), QByteArray("/d"));
    EXPECT_TRUE(server.requests("/d").isEmpty());

    NetworkURLSessionConfiguration following;
    following.followRedirects = true;
    following.maxRedirects = 3;
    const URLSessionResult followed = await(NetworkURLSession(following).data(get(server.url(u"/a"_s))));
    ASSERT_TRUE(followed.isSuccess());
    EXPECT_EQ(followed.response->statusCode, 200);
    EXPECT_EQ(followed.body, "end");
    EXPECT_EQ(followed.response->url, server.url(u"/d"_s));

    following.maxRedirects = 2;
    EXPECT_FALSE(await(NetworkURLSession(following).data(get(server.url(u"/a"_s)))).isSuccess());
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
