// The page script in the real web engine over the portal corpus, each page served by the stateful
// loopback portal: simple forms are filled and submitted until the portal lets the visitor through;
// everything that needs a person stops with its reason and submits nothing.
#include "PortalWebTestSupport.h"
#include "testkit/LoopbackCaptivePortal.h"

#include <QJsonArray>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

class PortalScriptCorpus : public ::testing::Test {
protected:
    static void SetUpTestSuite() { portal = new LoopbackCaptivePortal; }
    static void TearDownTestSuite() { delete portal; }
    void SetUp() override { ASSERT_TRUE(portal->isRunning()) << portal->errorText().toStdString(); }

    std::optional<PortalAutofillEvent> open(const QString& page, bool autoSubmit = true)
    {
        EXPECT_TRUE(portal->reset(page));
        if (!runner.load(portal->pageURL(page))) {
            ADD_FAILURE() << page.toStdString() << " did not load";
            return std::nullopt;
        }
        return runner.runUntilSomethingHappens(visitor(), autoSubmit);
    }
    static bool stillCaptive() { return portal->state()[u"captive"_s].toBool(); }
    static bool becomesOnline()
    {
        return spinUntil([] { return !stillCaptive(); }, std::chrono::seconds(10));
    }

    static LoopbackCaptivePortal* portal;
    PortalPageRunner runner;
};

LoopbackCaptivePortal* PortalScriptCorpus::portal = nullptr;

TEST_F(PortalScriptCorpus, SimpleFormsAreFilledAndPassed)
{
    // English and Vietnamese forms, a form built after load, drop-downs with aliases, gender radios
    // and buttons, a newsletter box that must stay unticked, and a connect control made of script.
    // Real-world markup too: a wrapper around the button, hidden login plumbing, member-offer copy, a
    // button enabled by the terms box, a link styled as a button, a "read the terms" form beside the
    // accept form, and dialogs the page opens on load.
    for (const QString& page : {u"simple-en"_s, u"simple-vi"_s, u"name-terms"_s, u"late-form"_s, u"newsletter"_s,
                               u"country-title"_s, u"gender-radios"_s, u"gender-buttons-vi"_s, u"birth-selects-vi"_s,
                               u"js-portal"_s, u"wrapper-button-group"_s, u"chap-hidden-password"_s,
                               u"member-offers-vi"_s, u"terms-enable-button"_s, u"link-button-only"_s,
                               u"read-terms-form"_s, u"alert-on-load"_s}) {
        const auto event = open(page);
        ASSERT_TRUE(event) << page.toStdString() << ": the script gave no readable result";
        EXPECT_FALSE(event->blocked) << page.toStdString() << ": " << event->reason.value_or(QString()).toStdString();
        EXPECT_TRUE(event->submitted) << page.toStdString();
        EXPECT_TRUE(becomesOnline()) << page.toStdString() << ": the portal did not accept the submission";
    }
}

TEST_F(PortalScriptCorpus, MultiStepPortalIsFollowedPageByPage)
{
    const auto first = open(u"multi-step-1"_s);
    ASSERT_TRUE(first && first->submitted);
    const int loads = runner.loads();
    ASSERT_TRUE(spinUntil([&] { return runner.loads() > loads; }, std::chrono::seconds(10)));
    EXPECT_TRUE(stillCaptive()) << "the first step alone does not open the network";
    const auto second = runner.runUntilSomethingHappens(visitor(), true);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->submitted);
    EXPECT_TRUE(becomesOnline());
}

TEST_F(PortalScriptCorpus, PagesThatNeedAPersonStopWithTheirReason)
{
    const QList<std::pair<QString, QString>> expected{
        {u"captcha"_s, u"Needs user action: captcha"_s},
        {u"hidden-captcha"_s, u"Needs user action: captcha"_s},
        {u"otp"_s, u"Needs user action: otp"_s},
        {u"voucher-vi"_s, u"Needs user action: voucher"_s},
        {u"room-number"_s, u"Needs user action: room number"_s},
        {u"payment"_s, u"Needs user action: credit card"_s},
        {u"social-login"_s, u"Needs user action: login with facebook"_s},
        {u"social-login-vi"_s, u"Needs user action: đăng nhập zalo"_s},
        {u"member-only"_s, u"Needs user action: member"_s},
        {u"remember-me"_s, u"Needs user action: member"_s},
        {u"two-connect"_s, u"Needs user action: multiple submit buttons"_s},
        // Real widget markup: the container, its frame and its hidden response field.
        {u"recaptcha-widget"_s, u"Needs user action: captcha"_s},
        {u"hcaptcha-widget"_s, u"Needs user action: captcha"_s},
        {u"turnstile-widget"_s, u"Needs user action: captcha"_s},
        {u"check-in-frame"_s, u"Needs user action: verification code"_s},
        // Signing in through another company's account, however the button is worded.
        {u"social-continue-google"_s, u"Needs user action: continue with google"_s},
        {u"social-connect-facebook"_s, u"Needs user action: connect with facebook"_s},
        {u"social-zalo-vi"_s, u"Needs user action: đăng nhập bằng zalo"_s},
        // A link drawn as an icon names its provider only in its accessible name.
        {u"social-icon-link"_s, u"Needs user action: sign in with google"_s},
    };
    for (const auto& [page, reason] : expected) {
        const auto event = open(page);
        ASSERT_TRUE(event) << page.toStdString();
        EXPECT_TRUE(event->blocked) << page.toStdString();
        EXPECT_EQ(event->reason, reason) << page.toStdString();
        EXPECT_FALSE(event->submitted) << page.toStdString();
        // Two-connect is the only one decided after filling: which button is unclear.
        EXPECT_TRUE(event->filledFields == 0 || page == u"two-connect"_s) << page.toStdString();
        EXPECT_TRUE(portal->state()[u"submissions"_s].toArray().isEmpty()) << page.toStdString() << " was submitted";
    }
}

TEST_F(PortalScriptCorpus, APageWithNothingToFillOrPressIsWaitedOnNotHandedOff)
{
    // A page that submits itself on load is on its way to the next one.
    ASSERT_TRUE(portal->reset(u"self-submit"_s));
    ASSERT_TRUE(runner.load(portal->pageURL(u"self-submit"_s)));
    const auto passing = runner.run(visitor(), true);
    ASSERT_TRUE(passing);
    EXPECT_FALSE(passing->blocked) << passing->reason.value_or(QString()).toStdString();
    ASSERT_TRUE(spinUntil([&] { return runner.url().path().endsWith(u"name-terms"_s); }, std::chrono::seconds(10)));
    const auto next = runner.runUntilSomethingHappens(visitor(), true);
    ASSERT_TRUE(next && next->submitted);
    EXPECT_TRUE(becomesOnline());

    const auto empty = open(u"no-fields"_s);
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->blocked);
    EXPECT_FALSE(empty->submitted);
}

TEST_F(PortalScriptCorpus, UnclearPagesAreNeverPassedBehindTheUsersBack)
{
    // A required field nobody can answer: one press lets the portal show what it wants, then it stops.
    const auto required = open(u"required-unfillable"_s);
    ASSERT_TRUE(required);
    EXPECT_EQ(required->reason, u"Needs user action: portal still has a required field"_s);
    EXPECT_TRUE(required->submitted);
    spinUntil([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_TRUE(stillCaptive());

    // Auto-submit off: the form is filled and the pressing is left to the user.
    const auto manual = open(u"simple-en"_s, false);
    ASSERT_TRUE(manual);
    EXPECT_GT(manual->filledFields, 0);
    EXPECT_FALSE(manual->submitted);
    EXPECT_EQ(runner.evaluateText(u"document.querySelector('[name=email]').value"_s), u"linh.tran@example.com"_s);
    EXPECT_TRUE(stillCaptive());
}
