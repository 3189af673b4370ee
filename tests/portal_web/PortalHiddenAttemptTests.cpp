// The hidden attempt end to end: the real assistant window over the web engine, the loopback portal,
// and verification probes of the portal's own detection page.
#include "PortalWebTestSupport.h"
#include "testkit/LoopbackCaptivePortal.h"

#include "connectivity/CaptivePortalService.h"
#include "connectivity/CaptiveProbeURLSession.h"
#include "portal/PortalAssistantWindowController.h"
#include "portal/web/PortalAssistantWindows.h"
#include "services/AppAnalyticsReporting.h"
#include "state/PortalAssistantHost.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class RecordingHost : public PortalAssistantHost, public AppAnalyticsReporting {
public:
    PortalAutofillProfile portalAutofillProfile() const override { return visitor(); }
    void savePortalAutofillProfile(const PortalAutofillProfile&) override {}
    AppAnalyticsReporting& analytics() override { return *this; }
    void checkAndConnectPublicWiFi() override { ++rechecks; }
    void track(const AppAnalyticsEvent& event) override { events.append(event); }

    std::optional<AppAnalyticsEvent> last(AppAnalyticsEventName name) const
    {
        for (auto it = events.crbegin(); it != events.crend(); ++it)
            if (it->name == name)
                return *it;
        return std::nullopt;
    }

    int rechecks = 0;
    QList<AppAnalyticsEvent> events;
};

// On screen, that is: the hidden attempt keeps its window shown off screen so the page runs normally.
bool anyWindowVisible()
{
    const auto widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.begin(), widgets.end(), [](const QWidget* widget) {
        return widget->isVisible() && !widget->testAttribute(Qt::WA_DontShowOnScreen);
    });
}

} // namespace

class PortalHiddenAttempt : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(portal.isRunning()) << portal.errorText().toStdString();
        const QUrl detection = portal.detectionURL();
        controller = makePortalAssistantWindowController([detection] {
            return std::make_unique<CaptivePortalService>(
                ConnectivityProbeClient(std::make_shared<CaptiveProbeURLSession>(), detection));
        });
    }

    // Spins until the condition holds, failing if any window appears on screen meanwhile.
    bool hiddenUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
    {
        bool shown = false;
        const bool held = spinUntil([&] {
            shown = shown || anyWindowVisible();
            return condition();
        }, timeout);
        EXPECT_FALSE(shown) << "a window appeared during the hidden attempt";
        return held;
    }

    LoopbackCaptivePortal portal;
    RecordingHost host;
    std::unique_ptr<PortalAssistantWindowController> controller;
};

TEST_F(PortalHiddenAttempt, SimplePortalIsPassedWithoutShowingAnything)
{
    ASSERT_TRUE(portal.reset(u"js-portal"_s));
    controller->attemptHidden(portal.url(u"/portal"_s), &host);
    ASSERT_TRUE(hiddenUntil([&] { return host.rechecks > 0; }, std::chrono::seconds(20)))
        << "the attempt never verified internet";
    EXPECT_FALSE(portal.state()[u"captive"_s].toBool());
    const auto verification = host.last(AppAnalyticsEventName::portalVerificationResult);
    ASSERT_TRUE(verification);
    EXPECT_EQ(verification->parameters.value(u"outcome"_s), u"online"_s);
    EXPECT_FALSE(host.last(AppAnalyticsEventName::portalManualHandoff)) << "nothing was handed to the user";
    EXPECT_TRUE(spinUntil([&] { return !controller->hasWindow(); })) << "the window goes once the portal is passed";
}

TEST_F(PortalHiddenAttempt, BlockersAndStubbornPortalsAreHandedToTheUser)
{
    const QList<std::pair<QString, QString>> pages{
        {u"captcha"_s, u"captcha"_s}, {u"otp"_s, u"otp"_s}, {u"payment"_s, u"payment"_s},
        {u"two-connect"_s, u"ambiguous_action"_s},
        // Pressed once so the portal can say what it wants; still captive afterwards, so handed off.
        {u"required-unfillable"_s, u"still_captive"_s}};
    for (const auto& [page, category] : pages) {
        ASSERT_TRUE(portal.reset(page));
        host.events.clear();
        controller->attemptHidden(portal.url(u"/portal"_s), &host);
        ASSERT_TRUE(spinUntil([&] { return host.last(AppAnalyticsEventName::portalManualHandoff).has_value(); },
                              std::chrono::seconds(20)))
            << page.toStdString() << " was never handed off";
        EXPECT_EQ(host.last(AppAnalyticsEventName::portalManualHandoff)->parameters.value(u"reason_category"_s), category)
            << page.toStdString();
        EXPECT_TRUE(spinUntil(anyWindowVisible)) << page.toStdString() << ": the window is shown to the user";
        EXPECT_TRUE(portal.state()[u"captive"_s].toBool());
        EXPECT_EQ(host.rechecks, 0);
    }
}
