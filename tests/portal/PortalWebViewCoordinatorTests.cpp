#include "PortalTestDoubles.h"
#include "portal/PortalWebViewCoordinator.h"
#include "support/LogSinks.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QUrl portal(u"http://portal.test/login"_s);

QString result(bool submitted, bool blocked = false, const QString& pressedStep = QString())
{
    PortalAutofillEvent event;
    event.didRun = true;
    event.submitted = submitted;
    event.blocked = blocked;
    event.filledFields = 1;
    QJsonObject object = QJsonDocument::fromJson(event.toJSON()).object();
    if (!pressedStep.isEmpty())
        object.insert(u"pressedStep"_s, pressedStep);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

class PortalWebViewCoordinatorTest : public ::testing::Test {
protected:
    PortalWebViewCoordinatorTest()
    {
        view.url = portal;
        view.profile.fullName = u"Ann Lee"_s;
        view.profile.birthYear = u"1998"_s;
        view.onEvent = [this](const PortalAutofillEvent& event) { events.append(event); };
        browser.autoAnswer = result(false);
        coordinator = std::make_unique<PortalWebViewCoordinator>(view, &browser, sleeper);
        coordinator->start();
    }
    ~PortalWebViewCoordinatorTest() override
    {
        coordinator.reset();
        sleeper->advance(1000); // let cancelled schedules run out
    }
    // Times (seconds since the test began) at which scripts ran from now on.
    QList<double> runTimesUntil(double seconds)
    {
        QList<double> times;
        qsizetype seen = browser.runs.size();
        while (sleeper->now() < seconds) {
            sleeper->advance(0.1);
            for (; seen < browser.runs.size(); ++seen)
                times.append(std::round(sleeper->now() * 10) / 10);
        }
        return times;
    }

    FakeBrowser browser;
    std::shared_ptr<ManualSleeper> sleeper = std::make_shared<ManualSleeper>();
    PortalWebView view;
    QList<PortalAutofillEvent> events;
    std::unique_ptr<PortalWebViewCoordinator> coordinator;
};

TEST_F(PortalWebViewCoordinatorTest, PageLoadRunsAtOnceAndOnFiveFollowUps)
{
    EXPECT_EQ(browser.loads, QList<QUrl>{portal});
    EXPECT_TRUE(browser.runs.isEmpty());
    browser.finishLoad(portal);
    EXPECT_EQ(browser.runs.size(), 1);
    EXPECT_EQ(runTimesUntil(30), (QList<double>{0.7, 2.5, 5.7, 10.7, 17.7}));
}

TEST_F(PortalWebViewCoordinatorTest, SubmissionStartsAfterSubmitPassesBesideANewPageLoad)
{
    browser.finishLoad(portal);
    browser.autoAnswer = result(true);
    sleeper->advance(0.7); // submitted at 0.7 s: after-submit passes at 1.9, 4.4, 8.4, 14.9, 23.9
    ASSERT_EQ(browser.runs.size(), 2);
    browser.autoAnswer = result(false);
    sleeper->advance(0.3);
    browser.finishLoad(QUrl(u"http://portal.test/next"_s)); // at 1.0 s: page-load passes at 1.7, 3.5, 6.7, 11.7, 18.7
    EXPECT_EQ(runTimesUntil(30), (QList<double>{1.7, 1.9, 3.5, 4.4, 6.7, 8.4, 11.7, 14.9, 18.7, 23.9}));
}

TEST_F(PortalWebViewCoordinatorTest, RedrawWithSameInputsDoesNotRunButANameChangeOrFillAgainDoes)
{
    browser.finishLoad(portal);
    const auto runs = browser.runs.size();
    coordinator->update(view); // forced run already recorded this signature
    EXPECT_EQ(browser.runs.size(), runs);
    PortalWebView renamed = view;
    renamed.profile.fullName = u"Bao Tran"_s;
    coordinator->update(renamed);
    EXPECT_EQ(browser.runs.size(), runs + 1);
    EXPECT_TRUE(browser.runs.last().script.contains(u"\"Bao Tran\""_s));
    coordinator->update(renamed);
    EXPECT_EQ(browser.runs.size(), runs + 1);
    coordinator->update(renamed, true);
    EXPECT_EQ(browser.runs.size(), runs + 2) << "fill again runs even when nothing changed";
}

TEST_F(PortalWebViewCoordinatorTest, NothingRunsWhileTheSamePageIsStillLoading)
{
    PortalWebView renamed = view;
    renamed.profile.fullName = u"Bao Tran"_s;
    coordinator->update(renamed);
    EXPECT_TRUE(browser.runs.isEmpty());
    EXPECT_EQ(browser.loads.size(), 1);
}

TEST_F(PortalWebViewCoordinatorTest, AnotherAddressReloadsAndCancelsBothSchedules)
{
    browser.finishLoad(portal);
    browser.answer(result(true));
    PortalWebView moved = view;
    moved.url = QUrl(u"http://other.test/"_s);
    coordinator->update(moved);
    EXPECT_EQ(browser.loads.last(), moved.url);
    EXPECT_EQ(coordinator->lastAppliedSignature(), std::nullopt);
    EXPECT_TRUE(runTimesUntil(30).isEmpty());
}

TEST_F(PortalWebViewCoordinatorTest, AutofillOffReportsIdleWithoutRunningTheScript)
{
    LogCapture capture;
    PortalWebView off = view;
    off.autofillEnabled = false;
    coordinator->update(off);
    browser.finishLoad(portal);
    EXPECT_TRUE(browser.runs.isEmpty());
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0], PortalAutofillEvent::idle());
    EXPECT_TRUE(capture.contains(u"PortalAutofill"_s, u"Portal autofill skipped: disabled"_s));
}

TEST_F(PortalWebViewCoordinatorTest, ScriptFailuresAndUndecodableResultsAreAnUnsupportedPortal)
{
    browser.finishLoad(portal);
    for (const std::optional<QString>& answer :
         {std::optional<QString>(), std::optional<QString>(u"{\"didRun\":true}"_s), std::optional<QString>(u"42"_s)}) {
        browser.answer(answer);
        ASSERT_FALSE(events.isEmpty());
        EXPECT_EQ(events.last(), PortalAutofillEvent::unsupportedPortal());
    }
    // The schedule keeps going, so a page that becomes fillable later is still handled.
    EXPECT_EQ(runTimesUntil(1).size(), 1);
}

TEST_F(PortalWebViewCoordinatorTest, SchedulesEndQuietlyWhenTheCoordinatorGoes)
{
    browser.finishLoad(portal);
    browser.answer(result(true));
    const auto runs = browser.runs.size();
    coordinator.reset();
    sleeper->advance(30);
    EXPECT_EQ(browser.runs.size(), runs);
}

TEST_F(PortalWebViewCoordinatorTest, APressedStepIsPassedToEveryLaterRunOfTheAttempt)
{
    browser.autoAnswer = result(true, false, u"http://portal.test|/submit post fullname|connect"_s);
    browser.finishLoad(portal);
    browser.autoAnswer = result(false);
    // The portal serves its form again after the post: a new page load, a new document.
    browser.finishLoad(QUrl(u"http://portal.test/submit"_s));
    ASSERT_EQ(browser.runs.size(), 2);
    EXPECT_TRUE(browser.runs.last().script.contains(
        u"const pressedSteps = [\"http://portal.test|/submit post fullname|connect\"];"_s));
    // A result claiming a press without naming its step, or an oversized name, adds nothing.
    browser.autoAnswer = result(true, false, QString(700, u'x'));
    sleeper->advance(0.7);
    EXPECT_EQ(coordinator->pressMemory().keys().size(), 1);
}

TEST_F(PortalWebViewCoordinatorTest, OneRunAtATimeSoAPressIsKnownBeforeTheNextRun)
{
    browser.autoAnswer.reset();
    browser.finishLoad(portal);
    sleeper->advance(0.7);
    EXPECT_EQ(browser.runs.size(), 1) << "the first run has not answered yet";
    browser.answer(result(false));
    ASSERT_EQ(browser.runs.size(), 2) << "the held-back pass runs once the answer is in";
    // An answer that never comes holds the view for two passes at most.
    sleeper->advance(1.8 + 3.2);
    EXPECT_EQ(browser.runs.size(), 2);
    sleeper->advance(5.0);
    EXPECT_EQ(browser.runs.size(), 3);
}

TEST_F(PortalWebViewCoordinatorTest, NothingRunsOnPagesOutsideThePortalsHosts)
{
    LogCapture capture;
    const QUrl news(u"http://news.test/"_s);
    const QUrl gateway(u"http://gateway.test/login"_s);
    browser.navigate(portal, news, PortalNavigationKind::link); // a link the user followed
    browser.finishLoad(news);
    EXPECT_TRUE(browser.runs.isEmpty());
    EXPECT_TRUE(capture.contains(u"PortalAutofill"_s, u"Portal autofill skipped: outside the portal, url=<private>"_s));
    // A form the portal posts elsewhere, and the redirect that follows, stay the portal's.
    browser.navigate(news, gateway, PortalNavigationKind::formSubmission);
    browser.finishLoad(gateway);
    EXPECT_TRUE(browser.runs.isEmpty()) << "posted from a page outside the portal";
    browser.navigate(portal, gateway, PortalNavigationKind::formSubmission);
    browser.navigate(gateway, news, PortalNavigationKind::redirect);
    browser.finishLoad(news);
    ASSERT_EQ(browser.runs.size(), 1);
    EXPECT_TRUE(browser.runs.last().script.contains(u"\"news.test\""_s));
    // The page script makes the same check when it runs, and such a run reports nothing.
    const auto events = this->events.size();
    browser.answer(u"{\"didRun\":false,\"blocked\":false,\"reason\":null,\"filledFields\":0,\"checkedBoxes\":0,"
                   "\"submitted\":false,\"fieldCategories\":[],\"outsidePortal\":true}"_s);
    EXPECT_EQ(this->events.size(), events);
}

} // namespace
