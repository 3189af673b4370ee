// The page script on a real captive portal's name-and-e-mail page (the portal lab's gateway), run on the
// lab's laptop. With auto-submit off it must fill what it can and press nothing, leaving the decision to
// the person; the portal must still hold the laptop afterwards.
#include "../portal_web/PortalWebTestSupport.h"

#include "connectivity/CaptiveProbeURLSession.h"
#include "connectivity/ConnectivityProbeClient.h"
#include "connectivity/DetectionURLSetting.h"
#include "wifi/PortalState.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

PortalState probeDetectionPage()
{
    const ConnectivityProbeClient probe(std::make_shared<CaptiveProbeURLSession>(), DetectionURLSetting::configured());
    return await(probe.probe());
}

std::string text(const QString& value) { return value.toStdString(); }

} // namespace

class RealPortalPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The portal answers the detection page with a temporary redirect to its own port.
        const PortalState before = probeDetectionPage();
        ASSERT_TRUE(before.isCaptive()) << "the lab's portal does not hold the laptop: " << text(before.logValue());
        ASSERT_TRUE(before.portalURL());
        const QUrl portal = *before.portalURL();
        EXPECT_EQ(portal.port(), 2050) << text(portal.toString());
        EXPECT_TRUE(portal.path().startsWith(u"/opennds_preauth"_s)) << text(portal.toString());
        ASSERT_TRUE(page.load(portal)) << "the portal page did not load";
        loadsBefore = page.loads();
        event = page.runUntilSomethingHappens(visitor(), false);
        ASSERT_TRUE(event) << "the page script gave no result";
    }

    QString field(const QString& name)
    {
        return page.evaluateText(u"document.querySelector('input[name=%1]').value"_s.arg(name));
    }

    PortalPageRunner page;
    int loadsBefore = 0;
    std::optional<PortalAutofillEvent> event;
};

TEST_F(RealPortalPage, AutoSubmitOffFillsTheAddressAndPressesNothing)
{
    EXPECT_FALSE(event->submitted);
    EXPECT_TRUE(event->fieldCategories.contains(u"email"_s)) << text(event->fieldCategories.join(u','));
    EXPECT_EQ(text(field(u"emailaddress"_s)), "linh.tran@example.com");

    // Nothing pressed: no page follows the filled form, and the portal still redirects the probe.
    spinUntil([] { return false; }, 3s);
    EXPECT_EQ(page.loads(), loadsBefore) << "a page followed the form: " << text(page.url().toString());
    EXPECT_TRUE(probeDetectionPage().isCaptive()) << "the laptop was let through without a press";
}

// Fails today: the portal's name box is named "username" with the word "Name" printed after it, and the
// script leaves any field whose label mentions a user name alone, so the name stays empty (and the
// hidden attempt presses Accept with only an address, which the portal answers with the same form).
TEST_F(RealPortalPage, DISABLED_NameBoxIsFilled)
{
    EXPECT_EQ(text(field(u"username"_s)), "Linh Tran");
    EXPECT_EQ(event->filledFields, 2) << text(event->fieldCategories.join(u','));
}
