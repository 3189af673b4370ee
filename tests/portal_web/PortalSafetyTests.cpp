// The assistant on hostile and awkward pages in the real web engine: a portal step is pressed once for
// the whole attempt, gender controls never submit or navigate, the values posted are the right ones,
// dialogs never stall a hidden attempt, a slow portal gets one request, nothing runs outside the
// portal, and typing in the sidebar never re-runs the page script.
#include "PortalWebTestSupport.h"
#include "testkit/LoopbackCaptivePortal.h"

#include "connectivity/CaptivePortalService.h"
#include "connectivity/CaptiveProbeURLSession.h"
#include "portal/PortalAssistantWindowController.h"
#include "portal/PortalWebViewCoordinator.h"
#include "portal/web/PortalAssistantView.h"
#include "portal/web/PortalAssistantWindows.h"
#include "portal/web/PortalBrowserPane.h"
#include "services/AppAnalyticsReporting.h"
#include "state/PortalAssistantHost.h"
#include "wifi/TaskRetrySleeper.h"

#include <QApplication>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class Host : public PortalAssistantHost, public AppAnalyticsReporting {
public:
    PortalAutofillProfile portalAutofillProfile() const override { return visitor(); }
    void savePortalAutofillProfile(const PortalAutofillProfile&) override {}
    AppAnalyticsReporting& analytics() override { return *this; }
    void checkAndConnectPublicWiFi() override { ++rechecks; }
    void track(const AppAnalyticsEvent& event) override { events.append(event); }

    QStringList handoffCategories() const
    {
        QStringList categories;
        for (const auto& event : events)
            if (event.name == AppAnalyticsEventName::portalManualHandoff)
                categories.append(event.parameters.value(u"reason_category"_s));
        return categories;
    }

    int rechecks = 0;
    QList<AppAnalyticsEvent> events;
};

// Closes any modal box a page opens and counts it, so a dialog can fail a test without stalling it.
class ModalWatch {
public:
    ModalWatch()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ++shown;
                modal->close();
            }
        });
        m_timer.start(200);
    }
    int shown = 0;

private:
    QTimer m_timer;
};

bool anyWindowOnScreen()
{
    const auto widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.begin(), widgets.end(), [](const QWidget* widget) {
        return widget->isVisible() && !widget->testAttribute(Qt::WA_DontShowOnScreen);
    });
}

void pause(std::chrono::milliseconds time)
{
    spinUntil([] { return false; }, time);
}

} // namespace

class PortalSafety : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(portal.isRunning()) << portal.errorText().toStdString(); }

    std::unique_ptr<PortalAssistantWindowController> makeController()
    {
        const QUrl detection = portal.detectionURL();
        return makePortalAssistantWindowController([detection] {
            return std::make_unique<CaptivePortalService>(
                ConnectivityProbeClient(std::make_shared<CaptiveProbeURLSession>(), detection));
        });
    }
    QJsonArray submissions(const QString& page) const
    {
        QJsonArray matching;
        for (const auto& value : portal.state()[u"submissions"_s].toArray())
            if (value.toObject()[u"page"_s].toString() == page)
                matching.append(value);
        return matching;
    }
    QJsonObject lastFields(const QString& page) const
    {
        const QJsonArray all = submissions(page);
        return all.isEmpty() ? QJsonObject() : all.last().toObject()[u"fields"_s].toObject();
    }
    bool becomesOnline()
    {
        return spinUntil([&] { return !portal.state()[u"captive"_s].toBool(); }, std::chrono::seconds(10));
    }

    LoopbackCaptivePortal portal;
};

TEST_F(PortalSafety, APortalThatServesItsFormAgainIsPressedOnceThenHandedOff)
{
    // The portal refuses the number and answers every post with the same form.
    ASSERT_TRUE(portal.reset(u"phone-not-registered-vi"_s));
    Host host;
    auto controller = makeController();
    controller->attemptHidden(portal.url(u"/portal"_s), &host);
    pause(std::chrono::seconds(20)); // the hidden attempt, its hand-off and the shown window's passes
    EXPECT_EQ(submissions(u"phone-not-registered-vi"_s).size(), 1);
    EXPECT_FALSE(host.handoffCategories().isEmpty()) << "the user gets the page";
    EXPECT_TRUE(portal.state()[u"captive"_s].toBool());
}

TEST_F(PortalSafety, DialogsDuringAHiddenAttemptShowNothingAndTheAttemptStillEnds)
{
    ASSERT_TRUE(portal.reset(u"alert-on-load"_s));
    ModalWatch modals;
    Host host;
    auto controller = makeController();
    controller->attemptHidden(portal.url(u"/portal"_s), &host);
    bool shown = false;
    const bool verified = spinUntil([&] {
        shown = shown || anyWindowOnScreen();
        return host.rechecks > 0;
    }, std::chrono::seconds(20));
    EXPECT_EQ(modals.shown, 0) << "a dialog box appeared";
    EXPECT_FALSE(shown);
    EXPECT_TRUE(verified) << "the attempt never verified internet";
    EXPECT_TRUE(host.handoffCategories().isEmpty());
}

TEST_F(PortalSafety, GenderControlsNeverSubmitNavigateOrToggleBack)
{
    ASSERT_TRUE(portal.reset(u"gender-submit-buttons"_s));
    PortalPageRunner runner;
    const QUrl page = portal.pageURL(u"gender-submit-buttons"_s);
    ASSERT_TRUE(runner.load(page));
    // Auto-submit off: nothing is pressed at all, whatever the passes.
    for (int pass = 0; pass < 3; ++pass) {
        const auto event = runner.run(visitor(), false);
        ASSERT_TRUE(event);
        EXPECT_FALSE(event->submitted);
        pause(std::chrono::milliseconds(300));
    }
    EXPECT_TRUE(submissions(u"gender-submit-buttons"_s).isEmpty());
    EXPECT_EQ(runner.url(), page) << "a gender link was followed";
    EXPECT_EQ(runner.evaluateText(u"document.getElementById('g').value"_s), QString());

    // Auto-submit on: the toggle is pressed once however many passes run, and only Connect posts.
    for (int pass = 0; pass < 3 && submissions(u"gender-submit-buttons"_s).isEmpty(); ++pass) {
        runner.run(visitor(), true);
        pause(std::chrono::milliseconds(300));
    }
    ASSERT_TRUE(becomesOnline());
    const QJsonObject fields = lastFields(u"gender-submit-buttons"_s);
    EXPECT_EQ(fields[u"fullname"_s].toString(), u"Linh Tran"_s);
    EXPECT_EQ(fields[u"gender_toggle"_s].toString(), u"female"_s);
    EXPECT_FALSE(fields.contains(u"gender"_s)) << "a gender button submitted the form";
    EXPECT_EQ(submissions(u"gender-submit-buttons"_s).size(), 1);
}

TEST_F(PortalSafety, ThePortalReceivesTheRightValues)
{
    PortalPageRunner runner;
    const auto pass = [&](const QString& name, const PortalAutofillProfile& profile) {
        EXPECT_TRUE(portal.reset(name));
        EXPECT_TRUE(runner.load(portal.pageURL(name)));
        const auto event = runner.runUntilSomethingHappens(profile, true);
        EXPECT_TRUE(event && event->submitted) << name.toStdString();
        EXPECT_TRUE(becomesOnline()) << name.toStdString() << ": the portal refused what was posted";
        return lastFields(name);
    };
    // "Họ và tên" is the full name; a remarks box gets nothing.
    const QJsonObject vietnamese = pass(u"ho-va-ten-vi"_s, visitor());
    EXPECT_EQ(vietnamese[u"ho_va_ten"_s].toString(), u"Linh Tran"_s);
    EXPECT_EQ(vietnamese[u"gop_y"_s].toString(), QString());
    // "Viet Nam" in a country list is a country, not a gender answer.
    const QJsonObject country = pass(u"country-viet-nam"_s, visitor());
    EXPECT_EQ(country[u"country"_s].toString(), u"VN"_s);
    EXPECT_EQ(country[u"gender"_s].toString(), u"f"_s);
    // "Other" is not male.
    PortalAutofillProfile other = visitor();
    other.gender = u"other"_s;
    EXPECT_EQ(pass(u"gender-other"_s, other)[u"gender"_s].toString(), u"other"_s);

    // A box named "username" whose caption, written as text after it, says Name takes the full name.
    const QJsonObject captioned = pass(u"caption-after-input"_s, visitor());
    EXPECT_EQ(captioned[u"username"_s].toString(), u"Linh Tran"_s);
    EXPECT_EQ(captioned[u"emailaddress"_s].toString(), visitor().emailAddress);
    // A box named "name" whose visible caption says User name asks for an account: left empty.
    {
        ASSERT_TRUE(portal.reset(u"account-caption"_s));
        ASSERT_TRUE(runner.load(portal.pageURL(u"account-caption"_s)));
        const auto event = runner.run(visitor(), false);
        ASSERT_TRUE(event);
        EXPECT_FALSE(event->fieldCategories.contains(u"full_name"_s));
        EXPECT_EQ(runner.evaluateText(u"document.querySelector('[name=name]').value"_s), QString());
    }

    // The generated name must not stop looking like a name once it is in the field.
    PortalAutofillProfile generated = visitor();
    generated.fullName = u"WiFi Guest"_s;
    ASSERT_TRUE(portal.reset(u"simple-en"_s));
    ASSERT_TRUE(runner.load(portal.pageURL(u"simple-en"_s)));
    runner.run(generated, false);
    const auto again = runner.run(generated, false);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->fieldCategories.contains(u"full_name"_s));
}

TEST_F(PortalSafety, ASlowPortalPageIsRequestedOnce)
{
    ASSERT_TRUE(portal.reset(u"slow-page"_s));
    PortalPageRunner runner;
    ASSERT_TRUE(runner.load(portal.pageURL(u"slow-page"_s)));
    int requests = 0;
    for (const auto& value : portal.state()[u"requests"_s].toArray())
        requests += value.toObject()[u"path"_s].toString() == u"/portal/slow-page"_s ? 1 : 0;
    EXPECT_EQ(requests, 1);
}

TEST_F(PortalSafety, NothingRunsOnASiteTheUserWentOnTo)
{
    ASSERT_TRUE(portal.reset(u"no-fields"_s));
    PortalWebView view;
    view.url = portal.pageURL(u"no-fields"_s);
    view.profile = visitor();
    PortalBrowserPane pane(view, std::make_shared<TaskRetrySleeper>());
    pane.resize(980, 700);
    pane.setAttribute(Qt::WA_DontShowOnScreen, true);
    pane.show();
    ASSERT_TRUE(spinUntil([&] { return pane.webView()->url() == view.url && !pane.webView()->page()->isLoading(); },
                          std::chrono::seconds(20)));
    // Another host name for the same loopback server: to the browser, another site.
    QUrl elsewhere = portal.pageURL(u"newsletter-site"_s);
    elsewhere.setHost(u"localhost"_s);
    // A link on the portal page that the visitor follows.
    pane.webView()->page()->runJavaScript(
        u"const link = document.createElement('a'); link.href = '%1'; link.textContent = 'News';"
        " document.body.appendChild(link); link.click();"_s.arg(elsewhere.toString()));
    ASSERT_TRUE(spinUntil([&] { return pane.webView()->url() == elsewhere; }, std::chrono::seconds(20)));
    pause(std::chrono::seconds(3)); // the load's own pass and two follow-ups
    std::optional<QString> state;
    pane.webView()->page()->runJavaScript(
        u"document.querySelector('[name=email]').value + '|' + (document.querySelector('button').dataset.pressed || '')"_s,
        [&state](const QVariant& value) { state = value.toString(); });
    ASSERT_TRUE(spinUntil([&] { return state.has_value(); }));
    EXPECT_EQ(*state, u"|"_s) << "the e-mail was typed or a button pressed outside the portal";
}

TEST_F(PortalSafety, TypingInTheSidebarNeverRunsThePageScript)
{
    ASSERT_TRUE(portal.reset(u"no-fields"_s));
    PortalAssistantViewInputs inputs;
    inputs.url = portal.pageURL(u"no-fields"_s);
    inputs.initialProfile = visitor();
    QList<PortalAutofillProfile> saved;
    inputs.onSave = [&saved](const PortalAutofillProfile& profile) { saved.append(profile); };
    PortalAssistantView assistant(std::move(inputs), std::make_shared<TaskRetrySleeper>());
    QLineEdit* fullName = assistant.findChildren<QLineEdit*>().value(0);
    ASSERT_TRUE(fullName);
    fullName->setText(u"L"_s);
    Q_EMIT fullName->textEdited(u"L"_s);
    EXPECT_EQ(assistant.browserPane()->coordinator()->parent().profile.fullName, u"Linh Tran"_s);
    EXPECT_TRUE(saved.isEmpty());

    auto* fillAgain = assistant.findChild<QPushButton*>(u"fillAgain"_s);
    ASSERT_TRUE(fillAgain);
    fillAgain->click();
    EXPECT_EQ(assistant.browserPane()->coordinator()->parent().profile.fullName, u"L"_s);
    ASSERT_EQ(saved.size(), 1);
}
