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

// One page load and one script run for the whole suite: the portal page is built by shell scripts and
// a second web page in the same process does not load it reliably.
class RealPortalPage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        page = new PortalPageRunner;
        // The portal answers the detection page with a temporary redirect to its own port.
        const PortalState before = probeDetectionPage();
        if (!before.isCaptive() || !before.portalURL()) {
            problem = "the lab's portal does not hold the laptop: " + text(before.logValue());
            return;
        }
        portal = *before.portalURL();
        if (!page->load(portal)) {
            problem = "the portal page did not load: " + text(portal.toString());
            return;
        }
        loadsBefore = page->loads();
        event = page->runUntilSomethingHappens(visitor(), false);
        if (!event)
            problem = "the page script gave no result";
    }
    static void TearDownTestSuite()
    {
        delete page;
        page = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(problem.empty()) << problem; }

    static QString field(const QString& name)
    {
        return page->evaluateText(u"document.querySelector('input[name=%1]').value"_s.arg(name));
    }

    static inline PortalPageRunner* page = nullptr;
    static inline QUrl portal;
    static inline int loadsBefore = 0;
    static inline std::optional<PortalAutofillEvent> event;
    static inline std::string problem;
};

TEST_F(RealPortalPage, AutoSubmitOffFillsTheAddressAndPressesNothing)
{
    EXPECT_EQ(portal.port(), 2050) << text(portal.toString());
    EXPECT_TRUE(portal.path().startsWith(u"/opennds_preauth"_s)) << text(portal.toString());
    EXPECT_FALSE(event->submitted);
    EXPECT_TRUE(event->fieldCategories.contains(u"email"_s)) << text(event->fieldCategories.join(u','));
    EXPECT_EQ(text(field(u"emailaddress"_s)), "linh.tran@example.com");

    // Nothing pressed: no page follows the filled form, and the portal still redirects the probe.
    spinUntil([] { return false; }, 3s);
    EXPECT_EQ(page->loads(), loadsBefore) << "a page followed the form: " << text(page->url().toString());
    EXPECT_TRUE(probeDetectionPage().isCaptive()) << "the laptop was let through without a press";
}

// The name box is named "username" with the word "Name" printed after it: a visitor reads it as the name.
TEST_F(RealPortalPage, NameBoxIsFilled)
{
    EXPECT_EQ(text(field(u"username"_s)), "Linh Tran");
    EXPECT_EQ(event->filledFields, 2) << text(event->fieldCategories.join(u','));
}
