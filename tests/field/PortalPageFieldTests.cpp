// The page script on a real captive portal's name-and-e-mail page (the portal lab's gateway), run on the
// lab's laptop. With auto-submit off it must fill the visitor's details and press nothing, leaving the
// decision to the person; the portal must still hold the laptop afterwards.
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

} // namespace

TEST(RealPortalPage, NameAndEmailAreFilledAndNothingIsPressedWithAutoSubmitOff)
{
    // The portal answers the detection page with a temporary redirect to its own port.
    const PortalState before = probeDetectionPage();
    ASSERT_TRUE(before.isCaptive()) << "the lab's portal does not hold the laptop: " << before.logValue().toStdString();
    ASSERT_TRUE(before.portalURL());
    const QUrl portal = *before.portalURL();
    EXPECT_EQ(portal.port(), 2050) << portal.toString().toStdString();
    EXPECT_TRUE(portal.path().startsWith(u"/opennds_preauth"_s)) << portal.toString().toStdString();

    PortalPageRunner page;
    ASSERT_TRUE(page.load(portal)) << "the portal page did not load";
    const int loadsBefore = page.loads();
    const std::optional<PortalAutofillEvent> event = page.runUntilSomethingHappens(visitor(), false);
    ASSERT_TRUE(event) << "the page script gave no result";
    EXPECT_FALSE(event->submitted);
    EXPECT_FALSE(event->blocked) << event->reason.value_or(QString()).toStdString();
    EXPECT_EQ(event->filledFields, 2) << event->fieldCategories.join(u',').toStdString();
    EXPECT_EQ(page.evaluateText(u"document.querySelector('input[name=username]').value"_s), u"Linh Tran"_s);
    EXPECT_EQ(page.evaluateText(u"document.querySelector('input[name=emailaddress]').value"_s),
              u"linh.tran@example.com"_s);

    // Nothing pressed: no page follows the filled form, and the portal still redirects the probe.
    spinUntil([] { return false; }, 3s);
    EXPECT_EQ(page.loads(), loadsBefore) << "a page followed the form: " << page.url().toString().toStdString();
    EXPECT_TRUE(probeDetectionPage().isCaptive()) << "the laptop was let through without a press";
}
