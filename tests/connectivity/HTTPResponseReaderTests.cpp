// The probe's own HTTP reading: framings a real server uses, and hostile answers that must end as errors
// or stop at the limit, whether the bytes arrive at once or one at a time.
#include "connectivity/HTTPResponseReader.h"
#include "connectivity/PlainHTTPExchange.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Progress = HTTPResponseReader::Progress;

namespace {

struct Outcome {
    Progress progress;
    int status;
    QByteArray body;
    bool truncated;
    // Whether the answer was settled before the connection ended.
    bool settledEarly;

    bool operator==(const Outcome&) const = default;
};

Outcome read(QByteArrayView bytes, qint64 limit, bool byteByByte)
{
    HTTPResponseReader reader(limit, 1024);
    if (byteByByte) {
        for (qsizetype i = 0; i < bytes.size(); ++i)
            reader.feed(bytes.sliced(i, 1));
    } else {
        reader.feed(bytes);
    }
    const bool early = reader.progress() != Progress::needMore;
    reader.finish();
    return {reader.progress(), reader.progress() == Progress::complete ? reader.response().statusCode : 0,
            reader.body(), reader.bodyTruncated(), early};
}

} // namespace

TEST(HTTPResponseReader, ReadsEachFramingAndRefusesMalformedOrOversizedAnswers)
{
    const Progress ok = Progress::complete, bad = Progress::failed;
    const QByteArray longHead = "HTTP/1.1 200 OK\r\nX-Pad: " + QByteArray(2000, 'a') + "\r\n\r\nSuccess";
    const struct {
        const char* label;
        QByteArray bytes;
        Outcome expected;
    } cases[] = {
        {"length", "HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\nSuccess", {ok, 200, "Success", false, true}},
        {"chunked with extension and trailer",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, Chunked\r\n\r\n3;x=1\r\nSuc\r\n4\r\ncess\r\n0\r\nX-T: 1\r\n\r\n",
         {ok, 200, "Success", false, true}},
        {"to the end", "HTTP/1.0 200 OK\r\n\r\nSuccess", {ok, 200, "Success", false, false}},
        {"interim head first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 302 Found\r\nLocation: /p\r\nContent-Length: 0\r\n\r\n",
         {ok, 302, "", false, true}},
        {"bare line feeds and a folded header", "HTTP/1.1 200 OK\nX-A: 1\n  2\nContent-Length: 2\n\nok", {ok, 200, "ok", false, true}},
        {"no content", "HTTP/1.1 204 No Content\r\n\r\n", {ok, 204, "", false, true}},
        {"length past the limit", "HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\nSuccess", {ok, 200, "Succ", true, true}},
        {"chunks past the limit", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nSuc\r\n3\r\nces", {ok, 200, "Succ", true, true}},
        {"endless to the end", "HTTP/1.1 200 OK\r\n\r\n" + QByteArray(64, 'x'), {ok, 200, "xxxx", true, true}},
        {"not HTTP", "SSH-2.0-server\r\n", {bad, 0, "", false, true}},
        {"head over its limit", longHead, {bad, 0, "", false, true}},
        {"short status", "HTTP/1.1 20 OK\r\n\r\n", {bad, 0, "", false, true}},
        {"header without a colon", "HTTP/1.1 200 OK\r\nbroken\r\n\r\n", {bad, 0, "", false, true}},
        {"length not a number", "HTTP/1.1 200 OK\r\nContent-Length: -7\r\n\r\nSuccess", {bad, 0, "", false, true}},
        {"lengths that disagree", "HTTP/1.1 200 OK\r\nContent-Length: 7, 8\r\n\r\nSuccess", {bad, 0, "", false, true}},
        {"chunk size not hex", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", {bad, 0, "", false, true}},
        {"chunk size overflowing", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nffffffffffffffffff\r\n", {bad, 0, "", false, true}},
        {"chunk without its line end", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nab\r\n", {bad, 0, "a", false, true}},
        {"closed inside the body", "HTTP/1.1 200 OK\r\nContent-Length: 70\r\n\r\nSuccess", {bad, 0, "Success", false, false}},
        {"closed after an interim head", "HTTP/1.1 100 Continue\r\n\r\n", {bad, 0, "", false, false}},
    };
    for (const auto& c : cases) {
        const qint64 limit = QByteArrayView(c.label).contains("limit") || QByteArrayView(c.label).startsWith("endless") ? 4 : 64;
        for (const bool byteByByte : {false, true}) {
            const Outcome outcome = read(c.bytes, limit, byteByByte);
            EXPECT_EQ(outcome.progress, c.expected.progress) << c.label << (byteByByte ? " (byte by byte)" : "");
            EXPECT_EQ(outcome.status, c.expected.status) << c.label;
            EXPECT_EQ(outcome.body, c.expected.body) << c.label;
            EXPECT_EQ(outcome.truncated, c.expected.truncated) << c.label;
            if (!byteByByte || c.expected.progress == ok) {
                EXPECT_EQ(outcome.settledEarly, c.expected.settledEarly) << c.label;
            }
        }
    }
}

TEST(PlainHTTPExchange, RequestHeadCarriesTheAddressAndRefusesBytesThatBreakTheFraming)
{
    HTTPRequest request;
    request.url = QUrl(u"http://[2001:db8::1]:8080/generate_204?a=%20b#frag"_s);
    EXPECT_EQ(PlainHTTPExchange::requestHead(request),
              QByteArray("GET /generate_204?a=%20b HTTP/1.1\r\nHost: [2001:db8::1]:8080\r\nUser-Agent: Mozilla/5.0\r\n"
                         "Accept: */*\r\nConnection: close\r\n\r\n"));

    request.url = QUrl(u"http://192.0.2.1"_s);
    request.headers = {{"X-Probe", "a\r\nInjected: 1"}};
    EXPECT_FALSE(PlainHTTPExchange::requestHead(request));

    request.headers.clear();
    request.method = "POST";
    EXPECT_FALSE(PlainHTTPExchange::handles(request)) << "only a bodiless GET goes this way";
    request.method = "GET";
    request.url = QUrl(u"https://192.0.2.1/"_s);
    EXPECT_FALSE(PlainHTTPExchange::handles(request));
}
