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

// Another host first, then the status range, a redirect's Location (any header case, web addresses with a
// host only, never the probe's own address for 511), then the marker in a body read as UTF-8; a body cut
// at the read limit is judged by its start even when cut inside a character.
TEST(ConnectivityProbeDecision, AnswersAreDecidedInOrder)
{
    const QUrl portal(u"http://portal.example/login"_s);
    const QUrl hostless(u"file:///tmp/page"_s);
    const QList<QPair<QByteArray, QByteArray>> location{{"lOcAtIoN", "https://portal.example/x"}};
    const QUrl located(u"https://portal.example/x"_s);
    const auto cut = [](QByteArray body) {
        URLSessionResult result = answer(200, probeURL, std::move(body));
        result.bodyTruncated = true;
        return result;
    };
    const QByteArray cafeCut("caf\xc3", 4);
    const struct {
        const char* label;
        URLSessionResult result;
        PortalState expected;
        QUrl probing = probeURL;
    } cases[] = {
        {"foreign host with marker", answer(200, portal, "Success"), PortalState::suspected(portal)},
        {"foreign host with error", answer(500, portal), PortalState::suspected(portal)},
        {"same host, other port", answer(200, QUrl(u"http://detect.example:8080/other"_s), "Success"), PortalState::online()},
        {"one absent host", answer(200, hostless, "Success"), PortalState::suspected(std::nullopt)},
        {"both hosts absent", answer(200, hostless, "Success"), PortalState::online(), hostless},
        {"no response URL", answer(200, std::nullopt, "Success"), PortalState::online()},
        {"307 Location", answer(307, probeURL, {}, location), PortalState::suspected(located)},
        {"399 Location", answer(399, probeURL, {}, location), PortalState::suspected(located)},
        {"200 with Location", answer(200, probeURL, "Success", location), PortalState::online()},
        {"blank Location", answer(300, probeURL, {}, {{"Location", "  "}}), PortalState::suspected(probeURL)},
        {"199", answer(199, probeURL, "Success"), PortalState::unavailable()},
        {"INT_MIN", answer(std::numeric_limits<int>::min(), probeURL), PortalState::unavailable()},
        {"299", answer(299, probeURL, "Success"), PortalState::online()},
        {"300", answer(300, probeURL, "Success"), PortalState::suspected(probeURL)},
        {"400", answer(400, probeURL, "Success"), PortalState::unavailable()},
        {"200 without body or URL", answer(200, std::nullopt), PortalState::suspected(std::nullopt)},
        {"511", answer(511, probeURL, "Success"), PortalState::suspected(std::nullopt)},
        {"511 Location", answer(511, probeURL, {}, {{"Location", "http://192.0.2.1:2050/login"}}),
         PortalState::suspected(QUrl(u"http://192.0.2.1:2050/login"_s))},
        {"511 script Location", answer(511, probeURL, {}, {{"Location", "javascript:alert(1)"}}),
         PortalState::suspected(std::nullopt)},
        {"512", answer(512, probeURL), PortalState::unavailable()},
        {"marker, cut in a character", cut("success " + cafeCut), PortalState::online()},
        {"page, cut in a character", cut("<html>Sign in " + cafeCut), PortalState::suspected(probeURL)},
        {"complete body, invalid UTF-8", answer(200, probeURL, "success " + cafeCut), PortalState::suspected(probeURL)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(probe(c.result, c.probing), c.expected) << c.label;
}
