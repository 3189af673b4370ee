// The hidden attempt with its page in a real portal helper process, and what the tray does when that
// process crashes, hangs or talks nonsense: the attempt is handed to the user with a category, the
// tray carries on.
#include "testkit/Await.h"
#include "testkit/LoopbackCaptivePortal.h"

#include "connectivity/CaptivePortalService.h"
#include "connectivity/CaptiveProbeURLSession.h"
#include "portal/PortalAssistantWindowController.h"
#include "portal/helper/PortalHelperConnection.h"
#include "portal/helper/PortalHelperWindow.h"
#include "services/AppAnalyticsEvent.h"
#include "services/AppAnalyticsReporting.h"
#include "state/PortalAssistantHost.h"
#include "support/Clock.h"
#include "wifi/TaskRetrySleeper.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QtEndian>
#include <csignal>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

class RecordingHost : public PortalAssistantHost, public AppAnalyticsReporting {
public:
    PortalAutofillProfile portalAutofillProfile() const override
    {
        PortalAutofillProfile profile;
        profile.fullName = u"Linh Tran"_s;
        profile.emailAddress = u"linh.tran@example.com"_s;
        profile.postalCode = u"700000"_s;
        profile.birthYear = u"1998"_s;
        return profile;
    }
    void savePortalAutofillProfile(const PortalAutofillProfile&) override {}
    AppAnalyticsReporting& analytics() override { return *this; }
    void checkAndConnectPublicWiFi() override { ++rechecks; }
    void track(const AppAnalyticsEvent& event) override { events.append(event); }

    std::optional<QString> handoffCategory() const
    {
        for (auto it = events.crbegin(); it != events.crend(); ++it)
            if (it->name == AppAnalyticsEventName::portalManualHandoff)
                return it->parameters.value(u"reason_category"_s);
        return std::nullopt;
    }
    bool sawAutofillResult() const
    {
        return std::any_of(events.cbegin(), events.cend(),
                           [](const AppAnalyticsEvent& event) { return event.name == AppAnalyticsEventName::portalAutofillResult; });
    }

    int rechecks = 0;
    QList<AppAnalyticsEvent> events;
};

QString helperProgram()
{
    return qEnvironmentVariable("BREWBEACON_BINARY_DIR") + u"/src/app/brewbeacon-portal"_s;
}

// A stand-in helper: Python writing the given frames (hex) on the socket, then staying until killed.
PortalHelperConnection::Options fakeHelper(const QByteArray& frames)
{
    const QString script = uR"(import os, sys, time
os.write(3, bytes.fromhex(sys.argv[1]))
time.sleep(60)
)"_s;
    return PortalHelperConnection::Options(u"/usr/bin/python3"_s, {u"-c"_s, script, QString::fromLatin1(frames.toHex())},
                                           200ms, 10s);
}

QByteArray rawFrame(const QByteArray& body)
{
    QByteArray framed(4, '\0');
    qToBigEndian(quint32(body.size()), framed.data());
    return framed + body;
}

QByteArray helloFrame()
{
    PortalHelperMessage hello = PortalHelperMessage::ofType(PortalHelperMessage::Type::hello);
    hello.version = PortalHelperProtocol::version;
    return PortalHelperProtocol::frame(hello);
}

} // namespace

class PortalHelperProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(portal.isRunning()) << portal.errorText().toStdString();
        ASSERT_TRUE(home.isValid());
        // The helper is a program of its own: its profile and settings go to this test's folder.
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            qputenv(name, home.path().toUtf8());
    }

    void makeController(std::function<PortalHelperConnection::Options()> options)
    {
        const QUrl detection = portal.detectionURL();
        PortalAssistantWindowController::Dependencies dependencies;
        dependencies.makeWindow = [this, options] {
            auto window = std::make_unique<PortalHelperWindow>(
                [options] { return std::make_unique<PortalHelperConnection>(options()); });
            windows.append(window.get());
            return window;
        };
        dependencies.makeDetector = [detection] {
            return std::make_unique<CaptivePortalService>(
                ConnectivityProbeClient(std::make_shared<CaptiveProbeURLSession>(), detection));
        };
        dependencies.sleeper = std::make_shared<TaskRetrySleeper>();
        dependencies.clock = &Clock::system();
        controller = std::make_unique<PortalAssistantWindowController>(std::move(dependencies));
    }

    PortalHelperWindow* window() const { return windows.isEmpty() ? nullptr : windows.last().data(); }

    // Ends the test's window the way the user would, and checks its helper goes with it.
    void closeAndExpectGone()
    {
        if (!controller->hasWindow())
            return;
        controller->closeWindow();
        EXPECT_TRUE(spinUntil([&] { return !controller->hasWindow(); }, 10s));
    }

    LoopbackCaptivePortal portal;
    QTemporaryDir home;
    RecordingHost host;
    QList<QPointer<PortalHelperWindow>> windows;
    std::unique_ptr<PortalAssistantWindowController> controller;
};

TEST_F(PortalHelperProcess, AHiddenAttemptPassesThePortalAndTheHelperEndsWithIt)
{
    makeController([] { return PortalHelperConnection::Options(helperProgram()); });
    ASSERT_TRUE(portal.reset(u"simple-en"_s));
    controller->attemptHidden(portal.url(u"/portal"_s), &host);
    ASSERT_TRUE(spinUntil([&] { return host.rechecks > 0; }, 40s)) << "the attempt never verified internet";
    EXPECT_FALSE(portal.state()[u"captive"_s].toBool());
    EXPECT_FALSE(host.handoffCategory());
    EXPECT_TRUE(spinUntil([&] { return !controller->hasWindow(); }, 10s));
}

TEST_F(PortalHelperProcess, AHelperKilledMidAttemptIsAHandOffAndTheUserGetsAFreshWindow)
{
    makeController([] { return PortalHelperConnection::Options(helperProgram()); });
    // A page with nothing to do: the attempt waits on it.
    ASSERT_TRUE(portal.reset(u"no-fields"_s));
    controller->attemptHidden(portal.url(u"/portal"_s), &host);
    ASSERT_TRUE(spinUntil([&] { return host.sawAutofillResult(); }, 30s)) << "the page script never ran";
    ASSERT_TRUE(window());
    const qint64 first = window()->helperProcessId();
    ASSERT_GT(first, 0);
    ::kill(pid_t(first), SIGKILL);

    ASSERT_TRUE(spinUntil([&] { return host.handoffCategory().has_value(); }, 20s))
        << "no hand-off; the killed process " << (::kill(pid_t(first), 0) == 0 ? "still exists" : "is gone")
        << ", the window's helper is now " << (window() ? window()->helperProcessId() : -1);
    EXPECT_EQ(host.handoffCategory(), u"engine_crashed"_s);
    EXPECT_FALSE(controller->isHiddenAttempt());
    // Handed off means shown: a new helper brings the portal up on screen.
    ASSERT_TRUE(spinUntil([&] { return !controller->windowTitleOnScreen().isEmpty(); }, 30s));
    EXPECT_NE(window()->helperProcessId(), first);
    closeAndExpectGone();
}

TEST_F(PortalHelperProcess, ASilentHelperIsAHandOff)
{
    // The bound must be met by a healthy helper starting its web engine on a busy machine.
    makeController([] { return PortalHelperConnection::Options(helperProgram(), {}, 200ms, 6s); });
    ASSERT_TRUE(portal.reset(u"no-fields"_s));
    controller->attemptHidden(portal.url(u"/portal"_s), &host);
    ASSERT_TRUE(spinUntil([&] { return host.sawAutofillResult(); }, 30s)) << "the page script never ran";
    ASSERT_FALSE(host.handoffCategory()) << "handed off before the helper was stopped";
    const qint64 stopped = window()->helperProcessId();
    ::kill(pid_t(stopped), SIGSTOP);
    ASSERT_TRUE(spinUntil([&] { return host.handoffCategory().has_value(); }, 20s));
    EXPECT_EQ(host.handoffCategory(), u"engine_hung"_s);
    ::kill(pid_t(stopped), SIGKILL);
    closeAndExpectGone();
}

TEST_F(PortalHelperProcess, AHelperThatTalksNonsenseOrNotAtAllIsAHandOffWithItsCategory)
{
    const QList<std::tuple<const char*, QByteArray, QString>> helpers{
        {"garbage", helloFrame() + rawFrame("!!!!"), u"engine_protocol"_s},
        {"oversized", helloFrame() + QByteArray::fromHex("7fffffff"), u"engine_protocol"_s},
        {"wrong version", rawFrame(R"({"type":"hello","version":9})"), u"engine_protocol"_s},
        {"closes a window nobody could see",
         helloFrame() + PortalHelperProtocol::frame(PortalHelperMessage::ofType(PortalHelperMessage::Type::closed)),
         u"engine_protocol"_s},
        {"no greeting", PortalHelperProtocol::frame(PortalHelperMessage::ofType(PortalHelperMessage::Type::closed)),
         u"engine_protocol"_s},
    };
    for (const auto& [name, frames, category] : helpers) {
        host.events.clear();
        makeController([frames] { return fakeHelper(frames); });
        controller->attemptHidden(portal.url(u"/portal"_s), &host);
        ASSERT_TRUE(spinUntil([&] { return host.handoffCategory().has_value(); }, 10s)) << name;
        EXPECT_EQ(host.handoffCategory(), category) << name;
        controller.reset();
    }

    // A helper that is not there at all: handed off, and as no window can come up, the window goes.
    host.events.clear();
    makeController([] { return PortalHelperConnection::Options(u"/nonexistent/brewbeacon-portal"_s); });
    controller->attemptHidden(portal.url(u"/portal"_s), &host);
    ASSERT_TRUE(spinUntil([&] { return host.handoffCategory().has_value(); }, 10s));
    EXPECT_EQ(host.handoffCategory(), u"engine_unavailable"_s);
    EXPECT_TRUE(spinUntil([&] { return !controller->hasWindow(); }, 10s));
}
