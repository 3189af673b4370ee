// The probe with its real session against a loopback detection page, one scripted answer per case.
#include "connectivity/CaptivePortalService.h"
#include "connectivity/CaptiveProbeURLSession.h"
#include "connectivity/ConnectivityProbeClient.h"
#include "connectivity/PlainHTTPExchange.h"
#include "support/LogSinks.h"
#include "testkit/Await.h"
#include "testkit/LoopbackHttpServer.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView detectionPath = "/hotspot-detect.html";

class ProbeAgainstLoopback : public ::testing::Test {
protected:
    QUrl probeURL() const { return server.url(QString::fromLatin1(detectionPath)); }

    PortalState probeAnswering(LoopbackHttpResponse response)
    {
        server.route(detectionPath.toByteArray(), std::move(response));
        return await(ConnectivityProbeClient(std::make_shared<CaptiveProbeURLSession>(), probeURL()).probe());
    }

    LoopbackHttpServer server;
};

} // namespace

// Marker in any letter case means online; a page without it, or one not in UTF-8, or a redirect without
// a usable Location, is a portal at the probe's address; errors and bare informational heads are unavailable.
TEST_F(ProbeAgainstLoopback, EachAnswerIsJudgedByStatusMarkerAndEncoding)
{
    enum Verdict { online, suspectedHere, unavailable };
    LoopbackHttpResponse bareRedirect;
    bareRedirect.status = 302;
    const QByteArray hugePage = "<html><form action=/login>" + QByteArray(2 * 1024 * 1024, ' ') + "Success</form></html>";
    const struct {
        const char* label;
        LoopbackHttpResponse response;
        Verdict verdict;
    } cases[] = {
        {"marker", LoopbackHttpResponse::text(200, "<HTML><BODY>Success</BODY></HTML>"), online},
        {"mixed case", LoopbackHttpResponse::text(200, "...sUcCeSs..."), online},
        {"form", LoopbackHttpResponse::text(200, "<form>Accept terms</form>"), suspectedHere},
        {"empty", LoopbackHttpResponse::text(200, ""), suspectedHere},
        {"no content", LoopbackHttpResponse::text(204, ""), suspectedHere},
        {"not UTF-8", LoopbackHttpResponse::text(200, "Success \xff\xfe"), suspectedHere},
        {"marker past the read limit", LoopbackHttpResponse::text(200, hugePage), suspectedHere},
        {"redirect without Location", bareRedirect, suspectedHere},
        {"unparsable Location", LoopbackHttpResponse::redirect(302, "http://[not a url"), suspectedHere},
        {"404", LoopbackHttpResponse::text(404, "Success"), unavailable},
        {"only a 100 head", LoopbackHttpResponse::rawBytes("HTTP/1.1 100 Continue\r\n\r\n"), unavailable},
        {"199", LoopbackHttpResponse::rawBytes("HTTP/1.1 199 Early\r\nContent-Length: 7\r\n\r\nSuccess"), unavailable},
    };
    for (const auto& c : cases) {
        const PortalState expected = c.verdict == online          ? PortalState::online()
                                     : c.verdict == suspectedHere ? PortalState::suspected(probeURL())
                                                                  : PortalState::unavailable();
        EXPECT_EQ(probeAnswering(c.response), expected) << c.label;
    }
}

TEST_F(ProbeAgainstLoopback, RedirectIsNeverFollowedAndItsBarePathResolvesOnTheProbeHost)
{
    LogCapture logs;
    const PortalState state = probeAnswering(LoopbackHttpResponse::redirect(302, "/portal/login?next=1"));
    QUrl expected = probeURL();
    expected.setPath(u"/portal/login"_s);
    expected.setQuery(u"next=1"_s);
    EXPECT_EQ(state, PortalState::suspected(expected));
    EXPECT_TRUE(server.requests("/portal/login").isEmpty());
    EXPECT_TRUE(logs.contains(u"PortalProbe"_s,
                              u"Connectivity probe has redirect location: "_s + expected.toString(QUrl::FullyEncoded)));
}

TEST_F(ProbeAgainstLoopback, AnswerFromAnotherHostIsSuspectedWhateverItsStatus)
{
    // Only a transport that follows redirects (or a rewriting proxy) can hand back another host's
    // answer, so this case runs over a following session: 127.0.0.1 sends it on to "localhost".
    const QUrl elsewhere = server.url(u"/welcome"_s, u"localhost"_s);
    server.route(detectionPath.toByteArray(), LoopbackHttpResponse::redirect(302, elsewhere.toEncoded()));
    server.route("/welcome", LoopbackHttpResponse::text(404, "Success"));
    NetworkURLSessionConfiguration following = CaptiveProbeURLSession::probeConfiguration();
    following.followRedirects = true;
    LogCapture logs;
    const PortalState state =
        await(ConnectivityProbeClient(std::make_shared<NetworkURLSession>(following), probeURL()).probe());
    EXPECT_EQ(state, PortalState::suspected(elsewhere));
    EXPECT_EQ(server.requests("/welcome").size(), 1);
    EXPECT_TRUE(logs.contains(u"PortalProbe"_s,
                              u"Connectivity probe redirected to portal-like URL: "_s + elsewhere.toString(QUrl::FullyEncoded)));
}

TEST_F(ProbeAgainstLoopback, ProbesNeverShareAConnection)
{
    server.route(detectionPath.toByteArray(), LoopbackHttpResponse::text(200, "Success"));
    CaptivePortalService service(ConnectivityProbeClient(std::make_shared<CaptiveProbeURLSession>(), probeURL()));
    EXPECT_EQ(await(service.detectPortal()), PortalState::online());
    EXPECT_EQ(await(service.detectPortal()), PortalState::online());
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_NE(server.requests()[0].connection, server.requests()[1].connection);
    // Nothing but a plain GET of the page, no cookies.
    EXPECT_EQ(server.requests()[0].method, "GET");
    EXPECT_FALSE(server.requests()[1].header("Cookie").has_value());
}

TEST_F(ProbeAgainstLoopback, ServerThatNeverAnswersIsUnavailableAfterTheRequestTimeOut)
{
    LogCapture logs;
    EXPECT_EQ(probeAnswering(LoopbackHttpResponse::silent()), PortalState::unavailable());
    EXPECT_TRUE(logs.contains(u"PortalProbe"_s,
                              u"Connectivity probe failed: "_s + NetworkURLSession::timeoutDescription()));
}

TEST_F(ProbeAgainstLoopback, AnswerThatNeverEndsIsJudgedByItsStartAndLeftThere)
{
    // Without a limit this read grows until memory runs out; the probe stops at its few KiB.
    EXPECT_EQ(probeAnswering(LoopbackHttpResponse::endless(200, "<p>Welcome, please sign in</p>\n")),
              PortalState::suspected(probeURL()));
    EXPECT_EQ(probeAnswering(LoopbackHttpResponse::endless(200, "success\n")), PortalState::online());
    EXPECT_LT(server.streamedBytes(), 64 * 1024 * 1024) << "read at loopback speed until the time-out, this is gigabytes";
}

TEST_F(ProbeAgainstLoopback, PlainExchangeWithoutAnIdleLimitWaitsForTheAnswer)
{
    // 0 means no limit, not an at once time-out after connecting.
    server.route(detectionPath.toByteArray(), LoopbackHttpResponse::text(200, "Success"));
    HTTPRequest request;
    request.url = probeURL();
    const URLSessionResult result = await(PlainHTTPExchange::get(request, {std::chrono::milliseconds(0), std::chrono::seconds(5), 64}));
    ASSERT_TRUE(result.isSuccess()) << result.error->toStdString();
    EXPECT_EQ(result.body, "Success");
}
