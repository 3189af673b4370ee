// Decision order of the probe over answers no real transport of ours produces.
#include "connectivity/CaptivePortalService.h"
#include "connectivity/ConnectivityProbeClient.h"
#include "connectivity/DetectionURLSetting.h"
#include "support/LogSinks.h"
#include "testkit/Await.h"

#include <QSettings>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class CannedSession : public URLSessionProtocol {
public:
    explicit CannedSession(URLSessionResult result) : m_result(std::move(result)) {}
    QCoro::Task<URLSessionResult> data(HTTPRequest) override
    {
        co_return std::as_const(m_result); // a copy: co_return of a non-const lvalue moves from it
    }

private:
    URLSessionResult m_result;
};

const QUrl probeURL(u"http://detect.example/hotspot-detect.html"_s);

URLSessionResult answer(int status, std::optional<QUrl> url, QByteArray body = {},
                        QList<QPair<QByteArray, QByteArray>> headers = {})
{
    return URLSessionResult::success(std::move(body), HTTPResponse{status, std::move(url), std::move(headers)});
}

PortalState probe(URLSessionResult result, QUrl url = probeURL)
{
    return await(ConnectivityProbeClient(std::make_shared<CannedSession>(std::move(result)), url).probe());
}

} // namespace

TEST(ConnectivityProbeDecision, TransportErrorAndNonHttpAnswerAreUnavailable)
{
    LogCapture logs;
    EXPECT_EQ(probe(URLSessionResult::failure(u"no route"_s)), PortalState::unavailable());
    EXPECT_EQ(probe(URLSessionResult{std::nullopt, "Success", std::nullopt}), PortalState::unavailable());
    EXPECT_TRUE(logs.contains(u"PortalProbe"_s, u"Connectivity probe failed: no route"_s)) << "the reason is kept";
}

TEST(ConnectivityProbeDecision, ForeignHostComesBeforeStatusAndMarker)
{
    const QUrl portal(u"http://portal.example/login"_s);
    EXPECT_EQ(probe(answer(200, portal, "Success")), PortalState::suspected(portal));
    EXPECT_EQ(probe(answer(500, portal)), PortalState::suspected(portal));
    // Same host, other path or port: not foreign.
    EXPECT_EQ(probe(answer(200, QUrl(u"http://detect.example:8080/other"_s), "Success")), PortalState::online());
    // One absent host is different (and such an address is no portal address), two are equal.
    const QUrl hostless(u"file:///tmp/page"_s);
    EXPECT_EQ(probe(answer(200, hostless, "Success")), PortalState::suspected(std::nullopt));
    EXPECT_EQ(probe(answer(200, hostless, "Success"), hostless), PortalState::online());
    // No response URL at all skips the host test.
    EXPECT_EQ(probe(answer(200, std::nullopt, "Success")), PortalState::online());
}

TEST(ConnectivityProbeDecision, LocationCountsOnlyForRedirectStatusesAndAnyHeaderCase)
{
    const QList<QPair<QByteArray, QByteArray>> location{{"lOcAtIoN", "https://portal.example/x"}};
    EXPECT_EQ(probe(answer(307, probeURL, {}, location)), PortalState::suspected(QUrl(u"https://portal.example/x"_s)));
    EXPECT_EQ(probe(answer(399, probeURL, {}, location)), PortalState::suspected(QUrl(u"https://portal.example/x"_s)));
    // A 200 carrying a Location is read by its body.
    EXPECT_EQ(probe(answer(200, probeURL, "Success", location)), PortalState::online());
    EXPECT_EQ(probe(answer(300, probeURL, {}, {{"Location", "  "}})), PortalState::suspected(probeURL));
}

TEST(ConnectivityProbeDecision, StatusRangesHaveNoWrapAround)
{
    EXPECT_EQ(probe(answer(199, probeURL, "Success")), PortalState::unavailable());
    EXPECT_EQ(probe(answer(0, probeURL, "Success")), PortalState::unavailable());
    EXPECT_EQ(probe(answer(-101, probeURL, "Success")), PortalState::unavailable());
    EXPECT_EQ(probe(answer(std::numeric_limits<int>::min(), probeURL)), PortalState::unavailable());
    EXPECT_EQ(probe(answer(299, probeURL, "Success")), PortalState::online());
    EXPECT_EQ(probe(answer(300, probeURL, "Success")), PortalState::suspected(probeURL));
    EXPECT_EQ(probe(answer(400, probeURL, "Success")), PortalState::unavailable());
    EXPECT_EQ(probe(answer(200, std::nullopt)), PortalState::suspected(std::nullopt));
}

TEST(ConnectivityProbeDecision, DetectionLogsOnlineAtDebugAndOthersAtDefault)
{
    LogCapture logs;
    CaptivePortalService online(ConnectivityProbeClient(std::make_shared<CannedSession>(answer(200, probeURL, "Success")), probeURL));
    CaptivePortalService failing(ConnectivityProbeClient(std::make_shared<CannedSession>(answer(500, probeURL)), probeURL));
    EXPECT_EQ(await(online.detectPortal()), PortalState::online());
    EXPECT_EQ(await(failing.detectPortal()), PortalState::unavailable());

    QStringList results;
    for (const LogRecord& record : logs.records()) {
        if (record.message.startsWith(u"Portal detection"_s))
            results.append(logLevelName(record.level) + u": "_s + record.message);
    }
    EXPECT_EQ(results, (QStringList{u"debug: Portal detection requested"_s, u"debug: Portal detection result: online"_s,
                                    u"debug: Portal detection requested"_s,
                                    u"default: Portal detection result: unavailable"_s}));
}

TEST(DetectionURLSetting, EnvironmentThenSettingsThenDefaultAndBadValuesIgnored)
{
    QSettings().remove(DetectionURLSetting::settingsKey());
    qunsetenv("BREWBEACON_DETECTION_URL");
    EXPECT_EQ(DetectionURLSetting::configured(), DetectionURLSetting::defaultURL());
    // Plain HTTP: a portal can only intercept what it can read.
    EXPECT_EQ(DetectionURLSetting::defaultURL().scheme(), u"http"_s);

    QSettings().setValue(DetectionURLSetting::settingsKey(), u"http://127.0.0.1:8080/hotspot-detect.html"_s);
    EXPECT_EQ(DetectionURLSetting::configured(), QUrl(u"http://127.0.0.1:8080/hotspot-detect.html"_s));

    qputenv("BREWBEACON_DETECTION_URL", "http://localhost:9/check");
    EXPECT_EQ(DetectionURLSetting::configured(), QUrl(u"http://localhost:9/check"_s));

    for (const char* bad : {"", "not a url", "ftp://host/file", "file:///etc/passwd", "http:///no-host"}) {
        qputenv("BREWBEACON_DETECTION_URL", bad);
        EXPECT_EQ(DetectionURLSetting::configured(), QUrl(u"http://127.0.0.1:8080/hotspot-detect.html"_s)) << bad;
    }
    qunsetenv("BREWBEACON_DETECTION_URL");
    QSettings().setValue(DetectionURLSetting::settingsKey(), 42);
    EXPECT_EQ(DetectionURLSetting::configured(), DetectionURLSetting::defaultURL());
    QSettings().remove(DetectionURLSetting::settingsKey());
}

TEST(DetectionURLSetting, MarkerFromEnvironmentThenSettingsAndNeverBlank)
{
    QSettings().remove(DetectionURLSetting::markerSettingsKey());
    qunsetenv("BREWBEACON_DETECTION_MARKER");
    EXPECT_EQ(DetectionURLSetting::configuredMarker(), DetectionURLSetting::defaultMarker());
    QSettings().setValue(DetectionURLSetting::markerSettingsKey(), u"NetworkManager is online"_s);
    EXPECT_EQ(DetectionURLSetting::configuredMarker(), u"NetworkManager is online"_s);
    qputenv("BREWBEACON_DETECTION_MARKER", "  ok  ");
    EXPECT_EQ(DetectionURLSetting::configuredMarker(), u"ok"_s);
    // A blank marker would be found in every answer and turn any portal into "online".
    qputenv("BREWBEACON_DETECTION_MARKER", "   ");
    EXPECT_EQ(DetectionURLSetting::configuredMarker(), u"NetworkManager is online"_s);
    qunsetenv("BREWBEACON_DETECTION_MARKER");
    QSettings().setValue(DetectionURLSetting::markerSettingsKey(), u""_s);
    EXPECT_EQ(DetectionURLSetting::configuredMarker(), DetectionURLSetting::defaultMarker());
    QSettings().remove(DetectionURLSetting::markerSettingsKey());
}

TEST(ConnectivityProbeDecision, OnlyAWebAddressWithAHostIsAPortalAddress)
{
    LogCapture logs;
    for (const char* location : {"javascript:alert(1)", "file:///etc/passwd", "steam://run/440", "http:", "http:///path",
                                 "data:text/html,<script>x</script>", "mailto:a@b.example"}) {
        const PortalState state = probe(answer(302, probeURL, {}, {{"Location", location}}));
        // No address of its own: the detection page itself is what the assistant opens.
        EXPECT_EQ(state, PortalState::suspected(probeURL)) << location;
    }
    EXPECT_TRUE(logs.messages(u"PortalProbe"_s).filter(u"has redirect location"_s).isEmpty());
    EXPECT_EQ(probe(answer(302, probeURL, {}, {{"Location", "HTTPS://portal.example/login"}})),
              PortalState::suspected(QUrl(u"https://portal.example/login"_s)));
}

TEST(ConnectivityProbeDecision, StartOfALongerPageIsJudgedEvenWhenCutInsideACharacter)
{
    URLSessionResult cut = answer(200, probeURL, QByteArray("success ") + QByteArray("caf\xc3", 4));
    cut.bodyTruncated = true;
    EXPECT_EQ(probe(cut), PortalState::online());
    URLSessionResult portal = answer(200, probeURL, QByteArray("<html>Sign in caf\xc3", 19));
    portal.bodyTruncated = true;
    EXPECT_EQ(probe(portal), PortalState::suspected(probeURL));
    // The same cut in a complete body is invalid UTF-8 and not trusted.
    EXPECT_EQ(probe(answer(200, probeURL, QByteArray("success ") + QByteArray("caf\xc3", 4))), PortalState::suspected(probeURL));
}

TEST(ConnectivityProbeDecision, NetworkAuthenticationRequiredIsAPortal)
{
    // Its page only when the answer names a web address; never the probe's own address, never "online".
    EXPECT_EQ(probe(answer(511, probeURL, "Success")), PortalState::suspected(std::nullopt));
    EXPECT_EQ(probe(answer(511, probeURL, {}, {{"Location", "http://192.0.2.1:2050/login"}})),
              PortalState::suspected(QUrl(u"http://192.0.2.1:2050/login"_s)));
    EXPECT_EQ(probe(answer(511, probeURL, {}, {{"Location", "javascript:alert(1)"}})), PortalState::suspected(std::nullopt));
    EXPECT_EQ(probe(answer(512, probeURL)), PortalState::unavailable());
}
