#include "connectivity/NetworkURLSession.h"
#include "services/FeedbackComposition.h"
#include "services/FeedbackService.h"

#include "testkit/Await.h"
#include "testkit/LoopbackHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrlQuery>
#include "testkit/Candidates.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

WiFiSnapshot snapshot()
{
    WiFiSnapshot value = WiFiSnapshot::scanning();
    value.connectionState = ConnectionState::captive(u"Cafe"_s);
    value.portalState = PortalState::detected(QUrl(u"http://portal.example/login"_s));
    value.candidates = {network(u"Cafe"_s, 80), network(u"Home"_s, 60, NetworkSecurity::personal), network(u"Lib"_s, 30)};
    value.bestNetwork = value.candidates.first();
    return value;
}

// `count` words separated by assorted Unicode white space, with white space around them too.
QString words(int count)
{
    const QStringList separators{u" "_s, u"\n"_s, u"\t"_s, u"\u3000"_s, u"  \r\n"_s};
    QString text = u"\n "_s;
    for (int n = 0; n < count; ++n)
        text += (n % 3 ? u"cà-phê"_s : u"word"_s) + separators.at(n % separators.size());
    return text;
}

FeedbackSubmission submission(const QString& email = u"   "_s)
{
    return FeedbackSubmission::make(FeedbackKind::idea, u"  Portal loops \n"_s, email,
                                    FeedbackDiagnostics::capture(snapshot(), LocationAuthorizationStatus::allowed,
                                                                 NetworkPathStatus::satisfied(true, false)),
                                    {FeedbackScreenshot::from(u"/tmp/x/Shot.PNG"_s, "abc")});
}

} // namespace

TEST(FeedbackComposition, SendGateCountsWordsAcrossAnyWhiteSpace)
{
    EXPECT_FALSE(FeedbackComposition::canSend(u"  \n\t \n"_s, false));
    EXPECT_EQ(FeedbackComposition::wordCount(words(2000)), 2000);
    EXPECT_TRUE(FeedbackComposition::canSend(words(2000), false));
    EXPECT_FALSE(FeedbackComposition::canSend(words(2001), false));
    EXPECT_FALSE(FeedbackComposition::canSend(u"fine"_s, true));
    EXPECT_EQ(FeedbackComposition::wordCount(u"one\u00A0two\u2003three"_s), 3);
}

TEST(FeedbackDiagnostics, ReadsTheSnapshotWithoutNamesOrURLs)
{
    auto diagnostics = FeedbackDiagnostics::capture(snapshot(), LocationAuthorizationStatus::notDetermined, std::nullopt,
                                                    BundleInfo({{u"CFBundleShortVersionString"_s, u"1.2"_s},
                                                                {u"CFBundleVersion"_s, u"$(BUILD)"_s}}));
    EXPECT_EQ(diagnostics.appVersion, u"1.2"_s);
    EXPECT_EQ(diagnostics.buildNumber, u"Unknown"_s);
    EXPECT_EQ(diagnostics.connectionState, u"captive"_s);
    EXPECT_EQ(diagnostics.portalState, u"detected"_s);
    EXPECT_EQ(diagnostics.networkPath, u"unknown"_s);
    EXPECT_EQ(diagnostics.candidateCount, 3);
    EXPECT_EQ(diagnostics.openCandidateCount, 2);
    EXPECT_EQ(diagnostics.signalQualityBucket, u"strong"_s);
    for (const QString& text : {QString::fromUtf8(QJsonDocument(diagnostics.toJson()).toJson()), diagnostics.previewText()}) {
        EXPECT_FALSE(text.contains(u"Cafe"_s));
        EXPECT_FALSE(text.contains(u"portal.example"_s));
    }
}

TEST(FeedbackDiagnostics, SignalBucketsOfTheJoinedThenTheBestNetwork)
{
    WiFiSnapshot value = snapshot();
    const QList<std::pair<int, QString>> buckets{{75, u"strong"_s}, {74, u"fair"_s}, {50, u"fair"_s}, {49, u"weak"_s},
                                                 {1, u"weak"_s}, {0, u"unknown"_s}, {-5, u"unknown"_s}};
    for (const auto& [quality, bucket] : buckets) {
        // The joined network wins over the best one.
        value.currentNetwork = network(u"Joined"_s, quality);
        EXPECT_EQ(FeedbackDiagnostics::signalQualityBucketFor(value), bucket) << quality;
    }
    value.currentNetwork.reset();
    value.bestNetwork.reset();
    EXPECT_EQ(FeedbackDiagnostics::signalQualityBucketFor(value), u"unknown"_s);
}

TEST(FeedbackSubmission, JsonCarriesTrimmedTextsAnEmptyWebsiteAndAllDiagnostics)
{
    const FeedbackSubmission report = submission();
    EXPECT_EQ(report.reportId, report.reportId.toLower());
    EXPECT_EQ(report.reportId.size(), 36);
    const QJsonObject json = report.toJson();
    EXPECT_FALSE(json.contains(u"email"_s));
    EXPECT_EQ(json.value(u"message"_s).toString(), u"Portal loops"_s);
    EXPECT_EQ(json.value(u"kind"_s).toString(), u"idea"_s);
    EXPECT_TRUE(json.value(u"website"_s).isString());
    EXPECT_EQ(json.value(u"website"_s).toString(), QString());
    EXPECT_EQ(json.value(u"diagnostics"_s).toObject(), report.diagnostics->toJson());
    const QJsonObject shot = json.value(u"attachments"_s).toArray().first().toObject();
    EXPECT_EQ(shot.value(u"filename"_s).toString(), u"Shot.PNG"_s);
    EXPECT_EQ(shot.value(u"contentType"_s).toString(), u"image/png"_s);
    EXPECT_EQ(shot.value(u"base64"_s).toString(), u"YWJj"_s);
    EXPECT_EQ(submission(u" me@example.com\n"_s).toJson().value(u"email"_s).toString(), u"me@example.com"_s);
    EXPECT_NE(submission().reportId, report.reportId);
}

TEST(FeedbackService, AcceptsAny2xxAndRejectsOtherStatusesWithTheFixedText)
{
    LoopbackHttpServer server;
    const FeedbackService service(server.url(u"/api/feedback"_s), std::make_shared<NetworkURLSession>());

    server.route("/api/feedback", LoopbackHttpResponse::text(201, "created"));
    const FeedbackSubmission report = submission();
    EXPECT_EQ(await(service.submit(report)), std::nullopt);
    const auto request = server.requests("/api/feedback").first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.header("content-type"), QByteArray("application/json"));
    EXPECT_TRUE(request.header("user-agent")->startsWith("BrewBeacon/"));
    EXPECT_EQ(QJsonDocument::fromJson(request.body).object(), report.toJson());
    EXPECT_EQ(FeedbackComposition::successText(report.reportId), u"Feedback sent. Reference "_s + report.reportId.left(8));

    server.route("/api/feedback", LoopbackHttpResponse::text(500, "oops"));
    const auto rejected = await(service.submit(submission()));
    ASSERT_TRUE(rejected);
    EXPECT_EQ(rejected->kind, FeedbackServiceError::Kind::rejected);

    const FeedbackService unreachable(QUrl(u"http://127.0.0.1:1/api/feedback"_s), std::make_shared<NetworkURLSession>());
    const auto transport = await(unreachable.submit(submission()));
    ASSERT_TRUE(transport);
    EXPECT_EQ(transport->kind, FeedbackServiceError::Kind::transport);
    EXPECT_FALSE(transport->description().isEmpty());
}

TEST(FeedbackService, AnAnswerThatNeverEndsIsATransportErrorAfterItsLimit)
{
    LoopbackHttpServer server;
    server.route("/api/feedback", LoopbackHttpResponse::endless(200, "thanks "));
    const FeedbackService service(server.url(u"/api/feedback"_s),
                                  std::make_shared<NetworkURLSession>(FeedbackService::sessionConfiguration()));
    const auto error = await(service.submit(submission()));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, FeedbackServiceError::Kind::transport);
    EXPECT_EQ(error->message, NetworkURLSession::oversizeDescription(FeedbackService::sessionConfiguration().maxBodyBytes));
}

TEST(FeedbackComposition, EmailFallbackCarriesTheUntrimmedMessageAndPreview)
{
    FeedbackDiagnostics diagnostics;
    diagnostics.appVersion = u"1.0"_s;
    const QString message = u"  a&b=c + 100%\n"_s;
    const auto url = FeedbackComposition::emailFallbackURL(FeedbackKind::problem, message, diagnostics);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), u"mailto"_s);
    EXPECT_EQ(url->path(), FeedbackComposition::supportAddress());
    const QUrlQuery query(*url);
    EXPECT_EQ(query.queryItemValue(u"subject"_s, QUrl::FullyDecoded), u"BrewBeacon feedback: Something didn't work"_s);
    EXPECT_EQ(query.queryItemValue(u"body"_s, QUrl::FullyDecoded),
              message + u"\n\nDiagnostics:\n"_s + diagnostics.previewText());
}
