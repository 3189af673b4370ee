#include "testkit/ManualClock.h"
#include "PortalTestDoubles.h"
#include "portal/PortalAssistantWindowController.h"
#include "support/LogSinks.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QUrl portal(u"http://portal.test/login"_s);

PortalAutofillEvent pageResult(bool submitted, bool blocked, std::optional<QString> reason = std::nullopt,
                               qint64 filled = 0, QStringList categories = {})
{
    PortalAutofillEvent event;
    event.didRun = true;
    event.submitted = submitted;
    event.blocked = blocked;
    event.reason = std::move(reason);
    event.filledFields = filled;
    event.fieldCategories = std::move(categories);
    return event;
}

class PortalAssistantWindowControllerTest : public ::testing::Test {
protected:
    PortalAssistantWindowControllerTest()
    {
        PortalAssistantWindowController::Dependencies dependencies;
        dependencies.makeWindow = [this] {
            auto window = std::make_unique<FakeWindow>();
            windows.append(window.get());
            return window;
        };
        dependencies.makeDetector = [this] { return std::make_unique<ScriptedDetector>(answers, probes); };
        dependencies.sleeper = sleeper;
        dependencies.clock = &clock;
        controller = std::make_unique<PortalAssistantWindowController>(std::move(dependencies));
        host.profile.fullName = u"Ann Lee"_s;
    }
    ~PortalAssistantWindowControllerTest() override
    {
        // Let pending pauses finish while the controller still exists, then tear it down.
        sleeper->advance(1000);
        controller.reset();
    }
    FakeWindow& window() { return *windows.last(); }
    void deliver(const PortalAutofillEvent& event) { window().inputs.onEvent(event); }
    QStringList handoffCategories() const
    {
        QStringList categories;
        for (const auto& event : host.recorder.named(AppAnalyticsEventName::portalManualHandoff))
            categories.append(event.parameters.value(u"reason_category"_s));
        return categories;
    }

    FakeHost host;
    ManualClock clock;
    std::shared_ptr<ManualSleeper> sleeper = std::make_shared<ManualSleeper>();
    std::shared_ptr<QList<PortalState>> answers = std::make_shared<QList<PortalState>>();
    std::shared_ptr<int> probes = std::make_shared<int>(0);
    QList<FakeWindow*> windows;
    std::unique_ptr<PortalAssistantWindowController> controller;
};

TEST_F(PortalAssistantWindowControllerTest, HiddenAttemptKeepsTheWindowOffScreenAndReportsItsStart)
{
    controller->attemptHidden(portal, &host);
    ASSERT_EQ(windows.size(), 1);
    EXPECT_FALSE(window().onScreen);
    EXPECT_EQ(window().inputs.url, portal);
    EXPECT_EQ(window().inputs.initialProfile.fullName, u"Ann Lee"_s);
    EXPECT_TRUE(controller->isHiddenAttempt());
    const auto started = host.recorder.named(AppAnalyticsEventName::portalAutomationStarted);
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0].parameters, (QMap<QString, QString>{{u"stage"_s, u"hidden"_s}}));
    EXPECT_EQ(started[0].timestampMicros, clock.now().toMSecsSinceEpoch() * 1000);
}

TEST_F(PortalAssistantWindowControllerTest, BlockedPageRevealsTheWindowAtOnceWithItsReason)
{
    LogCapture capture;
    controller->attemptHidden(portal, &host);
    deliver(pageResult(false, true, u"Needs user action: captcha"_s));
    EXPECT_TRUE(window().onScreen);
    EXPECT_FALSE(controller->isHiddenAttempt());
    EXPECT_EQ(handoffCategories(), QStringList{u"captcha"_s});
    EXPECT_TRUE(capture.contains(u"PortalAssistant"_s, u"Portal Assistant revealing window: reason=<private>"_s));
    // The time-out was cancelled with the reveal.
    sleeper->advance(20);
    EXPECT_EQ(handoffCategories(), QStringList{u"captcha"_s});
}

TEST_F(PortalAssistantWindowControllerTest, SubmissionThenInternetClosesTheWindowSilently)
{
    answers->append(PortalState::online());
    controller->attemptHidden(portal, &host);
    deliver(pageResult(true, false, std::nullopt, 1, {u"terms"_s, u"full_name"_s}));
    EXPECT_TRUE(controller->isVerifyingSubmission());
    sleeper->advance(1.0);
    EXPECT_EQ(*probes, 1);
    EXPECT_EQ(window().broughtToFront, 0);
    EXPECT_EQ(window().closes, 1);
    EXPECT_FALSE(controller->hasWindow());
    EXPECT_EQ(controller->currentURL(), std::nullopt);
    EXPECT_EQ(host.connectivityChecks, 1);
    const auto verification = host.recorder.named(AppAnalyticsEventName::portalVerificationResult);
    ASSERT_EQ(verification.size(), 1);
    EXPECT_EQ(verification[0].parameters.value(u"outcome"_s), u"online"_s);
    sleeper->advance(20); // the time-out is gone too
    EXPECT_TRUE(handoffCategories().isEmpty());

    const auto result = host.recorder.named(AppAnalyticsEventName::portalAutofillResult);
    ASSERT_EQ(result.size(), 1);
    EXPECT_EQ(result[0].parameters, (QMap<QString, QString>{{u"stage"_s, u"hidden"_s},
                                                            {u"outcome"_s, u"submitted"_s},
                                                            {u"blocker_category"_s, u"none"_s},
                                                            {u"field_categories"_s, u"full_name,terms"_s},
                                                            {u"filled_fields"_s, u"1"_s},
                                                            {u"checked_boxes"_s, u"0"_s}}));
}

TEST_F(PortalAssistantWindowControllerTest, PortalThatStaysCaptiveIsHandedOverAfterThreeChecks)
{
    answers->append(PortalState::suspected(portal));
    controller->attemptHidden(portal, &host);
    sleeper->advance(1.0);
    deliver(pageResult(true, false));
    // A follow-up page result while verifying is ignored.
    deliver(pageResult(false, true, u"Needs user action: BrewBeacon could not find a supported field on this portal"_s));
    EXPECT_FALSE(window().onScreen);
    sleeper->advance(7.4);
    EXPECT_EQ(*probes, 2);
    EXPECT_FALSE(window().onScreen);
    sleeper->advance(0.1);
    EXPECT_EQ(*probes, 3);
    EXPECT_TRUE(window().onScreen);
    EXPECT_EQ(handoffCategories(), QStringList{u"still_captive"_s});
    const auto verification = host.recorder.named(AppAnalyticsEventName::portalVerificationResult);
    ASSERT_EQ(verification.size(), 1);
    EXPECT_EQ(verification[0].parameters.value(u"outcome"_s), u"still_captive"_s);
    EXPECT_EQ(host.connectivityChecks, 0);
}

TEST_F(PortalAssistantWindowControllerTest, SlowTwoStepPortalIsVerifiedFromItsLatestPress)
{
    // Each page takes seconds to come; the portal answers 511 for a moment after letting the laptop in.
    answers->append({PortalState::suspected(std::nullopt), PortalState::suspected(std::nullopt),
                     PortalState::suspected(std::nullopt), PortalState::suspected(std::nullopt),
                     PortalState::suspected(std::nullopt), PortalState::suspected(std::nullopt),
                     PortalState::online()});
    controller->attemptHidden(portal, &host);
    sleeper->advance(5);
    deliver(pageResult(true, false, std::nullopt, 0, {u"terms"_s})); // first step pressed at 5 s
    sleeper->advance(4);                                              // two checks, still captive
    EXPECT_EQ(*probes, 2);
    deliver(pageResult(false, false));                                // the next step's page at 9 s
    sleeper->advance(4);
    deliver(pageResult(true, false));                                 // its Continue at 13 s
    sleeper->advance(6.9);
    EXPECT_EQ(*probes, 6) << "the checks restart with each press and each new page";
    EXPECT_FALSE(window().onScreen) << "handed over while the portal was still moving";
    EXPECT_TRUE(handoffCategories().isEmpty());
    sleeper->advance(0.6);
    EXPECT_EQ(*probes, 7);
    EXPECT_EQ(window().closes, 1);
    EXPECT_EQ(host.connectivityChecks, 1);
    sleeper->advance(60);
    EXPECT_TRUE(handoffCategories().isEmpty());
}

TEST_F(PortalAssistantWindowControllerTest, ACheckThatStillSeesThePortalDoesNotRestartARunningAttempt)
{
    answers->append({PortalState::suspected(std::nullopt), PortalState::online()});
    controller->attemptHidden(portal, &host);
    deliver(pageResult(true, false));
    sleeper->advance(1);
    // The app's own check meets the portal's brief 511 and asks again, for the detection page.
    controller->attemptHidden(QUrl(u"http://detect.test/hotspot"_s), &host);
    EXPECT_EQ(windows.size(), 1);
    EXPECT_EQ(window().inputs.url, portal);
    sleeper->advance(2.5);
    EXPECT_EQ(window().closes, 1) << "the running attempt's verification was lost";
    EXPECT_EQ(host.connectivityChecks, 1);
    EXPECT_TRUE(handoffCategories().isEmpty());
}

TEST_F(PortalAssistantWindowControllerTest, AnAttemptThatPressedNothingGivesWayToAnotherPortalPageOnly)
{
    // A page that never loads (an endless detection answer) holds the attempt; a real portal appears.
    controller->attemptHidden(QUrl(u"http://detect.test/hotspot"_s), &host);
    QUrl again(u"http://detect.test/hotspot?token=2"_s);
    controller->attemptHidden(again, &host);
    EXPECT_EQ(window().inputs.url, QUrl(u"http://detect.test/hotspot"_s)) << "the same page with a new token restarted it";
    controller->attemptHidden(portal, &host);
    EXPECT_EQ(window().inputs.url, portal) << "the new portal page waited behind a page that never came";
    EXPECT_TRUE(controller->isHiddenAttempt());
}

TEST_F(PortalAssistantWindowControllerTest, IdleTimeOutCountsFromTheLastProgressWithinAnOverallCap)
{
    controller->attemptHidden(portal, &host);
    sleeper->advance(10);
    deliver(pageResult(false, false, std::nullopt, 1, {u"email"_s}));
    sleeper->advance(11.9);
    EXPECT_FALSE(window().onScreen);
    deliver(pageResult(false, false, std::nullopt, 1, {u"email"_s})); // the same page again is no progress
    sleeper->advance(0.1);
    EXPECT_TRUE(window().onScreen);
    EXPECT_EQ(handoffCategories(), QStringList{u"timeout"_s});
    EXPECT_EQ(window().handoffReasons, QStringList{u"automatic attempt timed out"_s}) << "the window says why";

    // A portal that keeps changing its page never holds the hidden view past the cap.
    controller->attemptHidden(portal, &host);
    for (int page = 1; page <= 5; ++page) {
        sleeper->advance(9);
        deliver(pageResult(false, false, std::nullopt, page, {u"email"_s}));
    }
    EXPECT_TRUE(window().onScreen);
    EXPECT_EQ(handoffCategories(), (QStringList{u"timeout"_s, u"timeout"_s}));
    sleeper->advance(60);
    EXPECT_EQ(handoffCategories().size(), 2);
}

TEST_F(PortalAssistantWindowControllerTest, RepeatedResultsAreReportedOnceAndANewAttemptForgetsThem)
{
    controller->attemptHidden(portal, &host);
    const PortalAutofillEvent filled = pageResult(false, false, std::nullopt, 1, {u"email"_s});
    deliver(filled);
    deliver(filled);
    EXPECT_EQ(host.recorder.named(AppAnalyticsEventName::portalAutofillResult).size(), 1);
    sleeper->advance(12); // handed over
    controller->attemptHidden(portal, &host);
    deliver(filled);
    EXPECT_EQ(host.recorder.named(AppAnalyticsEventName::portalAutofillResult).size(), 2);
}

TEST_F(PortalAssistantWindowControllerTest, ShowKeepsThePageForTheSameAddressAndIgnoresResults)
{
    controller->show(portal, &host);
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(window().onScreen);
    EXPECT_EQ(window().contentBuilds, 1);
    controller->show(portal, &host);
    EXPECT_EQ(window().contentBuilds, 1);
    controller->show(QUrl(u"http://other.test/"_s), &host);
    EXPECT_EQ(window().contentBuilds, 2);
    EXPECT_EQ(windows.size(), 1);
    deliver(pageResult(false, true, u"Needs user action: otp"_s));
    EXPECT_TRUE(handoffCategories().isEmpty());
    EXPECT_TRUE(host.recorder.named(AppAnalyticsEventName::portalAutofillResult).isEmpty());
}

TEST_F(PortalAssistantWindowControllerTest, ShowDuringAHiddenAttemptEndsItsAutomation)
{
    controller->attemptHidden(portal, &host);
    controller->show(portal, &host);
    EXPECT_TRUE(window().onScreen);
    EXPECT_FALSE(controller->isHiddenAttempt());
    sleeper->advance(20);
    EXPECT_TRUE(handoffCategories().isEmpty());
}

TEST_F(PortalAssistantWindowControllerTest, SidebarActionsSaveAndReport)
{
    controller->show(portal, &host);
    PortalAutofillProfile edited;
    edited.fullName = u"Bao Tran"_s;
    window().inputs.onSave(edited);
    window().inputs.onOpenInBrowser();
    ASSERT_EQ(host.savedProfiles.size(), 1);
    EXPECT_EQ(host.savedProfiles[0].fullName, u"Bao Tran"_s);
    QStringList actions;
    for (const auto& event : host.recorder.named(AppAnalyticsEventName::uiAction))
        actions.append(event.parameters.value(u"action"_s) + u'@' + event.parameters.value(u"surface"_s));
    EXPECT_EQ(actions, (QStringList{u"fill_again@portal_assistant"_s, u"open_in_browser@portal_assistant"_s}));
}

TEST_F(PortalAssistantWindowControllerTest, ClosingTheWindowForgetsItAndStopsTheAttempt)
{
    controller->attemptHidden(portal, &host);
    window().close();
    EXPECT_FALSE(controller->hasWindow());
    sleeper->advance(20);
    EXPECT_TRUE(handoffCategories().isEmpty());
    controller->show(portal, &host);
    EXPECT_EQ(windows.size(), 2);
}

} // namespace
