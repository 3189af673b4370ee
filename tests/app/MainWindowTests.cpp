// The main window over a seeded state: what a user reads and presses on each tab.
#include "WindowTestSupport.h"
#include "testkit/Await.h"
#include "testkit/Candidates.h"
#include "ui/FormValuesViewModel.h"
#include "ui/StatusViewModel.h"
#include "ui/windows/MainWindowController.h"

#include <QPointer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct MainWindowRig : WindowRig {
    std::optional<QString> feedbackContext;
    int feedbackRequests = 0;
    std::unique_ptr<MainWindowController> controller;

    QQuickWindow* open(MainWindowTab tab)
    {
        build();
        controller = std::make_unique<MainWindowController>(*host, [this](FeedbackKind, std::optional<QString> context) {
            ++feedbackRequests;
            feedbackContext = context;
        });
        controller->configure(*state, *updates, {});
        controller->show(tab);
        return controller->window();
    }
};

WiFiSnapshot around(const QList<PublicNetworkCandidate>& candidates)
{
    WiFiSnapshot snapshot;
    snapshot.connectionState = ConnectionState::ready();
    snapshot.candidates = candidates;
    // The scanner only ever picks an open network as the best one.
    for (const PublicNetworkCandidate& candidate : candidates) {
        if (candidate.security == NetworkSecurity::open && !snapshot.bestNetwork)
            snapshot.bestNetwork = candidate;
    }
    snapshot.lastUpdated = QDateTime::currentDateTimeUtc();
    return snapshot;
}

} // namespace

TEST(MainWindow, StatusTabRanksOpenNetworksAndJoinsThePressedRow)
{
    MainWindowRig rig;
    rig.rig.path->status = NetworkPathStatus::unsatisfied();
    rig.rig.scanner->snapshot = around({network(u"Cafe Corner"_s, 81), network(u"Home"_s, 95, NetworkSecurity::personal),
                                        network(u"Bakery Guest"_s, 58)});
    QQuickWindow* window = rig.open(MainWindowTab::status);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(spinUntil([&] { return textOf(window, u"countBadge"_s) == u"2 public"_s; })) << textOf(window, u"countBadge"_s).toStdString();
    EXPECT_EQ(window->title(), u"BrewBeacon"_s);
    EXPECT_EQ(window->width(), 980);

    QList<QQuickItem*> names;
    findItems(window->contentItem(), u"networkName"_s, names);
    ASSERT_EQ(names.size(), 2);
    EXPECT_EQ(names[0]->property("text").toString(), u"Cafe Corner"_s);
    EXPECT_EQ(names[1]->property("text").toString(), u"Bakery Guest"_s);
    QList<QQuickItem*> buttons;
    findItems(window->contentItem(), u"connectButton"_s, buttons);
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_TRUE(buttons[1]->isEnabled());
    EXPECT_FALSE(findItem(window, u"placeholderCard"_s)->isVisible());
    EXPECT_EQ(textOf(window, u"connectionTitle"_s), u"No cafe Wi-Fi connected"_s);
    screenshot(window, u"main-status"_s);
    QMetaObject::invokeMethod(findItem(window, u"section1"_s), "clicked");
    QCoreApplication::processEvents();
    EXPECT_FALSE(textOf(window, u"scoreText"_s).isEmpty());
    screenshot(window, u"main-status-work-ready"_s);
    QMetaObject::invokeMethod(findItem(window, u"section0"_s), "clicked");
    StatusViewModel& status = *rig.controller->status();
    EXPECT_EQ(status.assistantTitle(), u"Cafe Wi-Fi found"_s);

    rig.rig.router->gate.closed = true;
    QMetaObject::invokeMethod(buttons[1], "clicked");
    ASSERT_EQ(rig.rig.router->requests.size(), 1);
    EXPECT_EQ(rig.rig.router->requests.first().candidates.first().ssid, u"Bakery Guest"_s);
    EXPECT_EQ(status.assistantTitle(), u"Connecting to cafe Wi-Fi"_s);
    ASSERT_TRUE(spinUntil([&] {
        QList<QQuickItem*> now;
        findItems(window->contentItem(), u"connectButton"_s, now);
        return now.size() == 2 && !now[0]->isEnabled() && !now[1]->isEnabled();
    })) << "every row's button is disabled while a join runs";
    status.connectToRow(7);
    EXPECT_EQ(rig.rig.router->requests.size(), 1) << "a row out of range joins nothing";
    rig.rig.router->gate.open();
    await(rig.state->joinRunFinished());
    EXPECT_EQ(status.assistantTitle(), u"Connected to Bakery Guest"_s);
}

TEST(MainWindow, ClosingLetsGoOfTheWindowAndItsEngineAndReopeningGivesAWorkingWindow)
{
    MainWindowRig rig;
    rig.rig.path->status = NetworkPathStatus::unsatisfied();
    rig.rig.scanner->snapshot = around({network(u"Cafe Corner"_s, 81)});
    QQuickWindow* window = rig.open(MainWindowTab::status);
    ASSERT_TRUE(spinUntil([&] { return textOf(window, u"countBadge"_s) == u"1 public"_s; }));
    QPointer<QQuickWindow> closed(window);
    window->close();
    EXPECT_EQ(rig.controller->window(), nullptr);
    EXPECT_EQ(rig.controller->status(), nullptr) << "the view models go with the window";
    ASSERT_TRUE(spinUntil([&] { return closed.isNull() && !rig.host->hasEngine(); })) << "nothing of the window stays";

    // The state moves on while no window shows it.
    rig.rig.scanner->snapshot = around({network(u"Cafe Corner"_s, 81), network(u"Bakery Guest"_s, 58)});
    await(rig.state->runConnectivityCheckToCompletion(false));
    rig.controller->show(MainWindowTab::status);
    window = rig.controller->window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(spinUntil([&] { return textOf(window, u"countBadge"_s) == u"2 public"_s; })) << textOf(window, u"countBadge"_s).toStdString();
    EXPECT_EQ(window->title(), u"BrewBeacon"_s);
    QList<QQuickItem*> buttons;
    findItems(window->contentItem(), u"connectButton"_s, buttons);
    ASSERT_EQ(buttons.size(), 2);
    rig.rig.router->gate.closed = true;
    QMetaObject::invokeMethod(buttons[1], "clicked");
    ASSERT_EQ(rig.rig.router->requests.size(), 1) << "the reopened window's rows join as before";
    EXPECT_EQ(rig.rig.router->requests.first().candidates.first().ssid, u"Bakery Guest"_s);
    rig.rig.router->gate.open();
    QCoreApplication::processEvents();

    rig.controller->selectTab(int(MainWindowTab::about));
    QCoreApplication::processEvents();
    EXPECT_TRUE(textOf(window, u"versionBadge"_s).startsWith(u"v"_s));
    screenshot(window, u"main-about"_s);
    QMetaObject::invokeMethod(findItem(window, u"aboutSendFeedbackButton"_s), "clicked");
    EXPECT_EQ(rig.feedbackRequests, 1);
    EXPECT_EQ(rig.feedbackContext, std::nullopt);
}

TEST(MainWindow, EmptyListOffersTheReportLinkWithItsTitleAsContext)
{
    MainWindowRig rig;
    rig.rig.path->status = NetworkPathStatus::unsatisfied();
    rig.rig.scanner->snapshot = around({network(u"Home"_s, 95, NetworkSecurity::personal)});
    QQuickWindow* window = rig.open(MainWindowTab::status);
    ASSERT_TRUE(spinUntil([&] { return textOf(window, u"placeholderTitle"_s) == u"No open cafe Wi-Fi found"_s; }))
        << textOf(window, u"placeholderTitle"_s).toStdString();
    EXPECT_EQ(textOf(window, u"placeholderDetail"_s), u"Nearby Wi-Fi was scanned, but none of the visible networks are open."_s);
    QQuickItem* link = findItem(window, u"reportLink"_s);
    ASSERT_TRUE(link && link->isVisible());
    QMetaObject::invokeMethod(link, "linkActivated", Q_ARG(QString, u"report"_s));
    EXPECT_EQ(rig.feedbackRequests, 1);
    EXPECT_EQ(rig.feedbackContext, u"No open cafe Wi-Fi found"_s);
    screenshot(window, u"main-status-empty"_s);
}

TEST(MainWindow, SettingsTabShowsTheNoticeAndButtonsThatApply)
{
    MainWindowRig rig;
    rig.rig.location = LocationAuthorizationStatus::denied;
    rig.rig.launchAtLogin->current = LaunchAtLoginStatus::requiresApproval;
    QQuickWindow* window = rig.open(MainWindowTab::settings);
    ASSERT_NE(window, nullptr);
    rig.state->refreshLocationAuthorizationStatus();
    QCoreApplication::processEvents();
    EXPECT_EQ(textOf(window, u"noticeTitle"_s), u"Setup needs Wi-Fi permission"_s) << "location wins over the login item";
    EXPECT_TRUE(findItem(window, u"openNetworkSettingsButton"_s)->isVisible());
    EXPECT_TRUE(findItem(window, u"approveLoginItemButton"_s)->isVisible());
    EXPECT_TRUE(findItem(window, u"checkForUpdatesButton"_s)->isEnabled());
    screenshot(window, u"main-settings"_s);

    rig.updater->setCanCheck(false);
    QCoreApplication::processEvents();
    EXPECT_FALSE(findItem(window, u"checkForUpdatesButton"_s)->isEnabled());
}

TEST(MainWindow, FormValuesAreSavedOnlyWhenCompleteEnough)
{
    MainWindowRig rig;
    QQuickWindow* window = rig.open(MainWindowTab::formValues);
    ASSERT_NE(window, nullptr);
    FormValuesViewModel& form = *rig.controller->formValues();
    EXPECT_TRUE(findItem(window, u"formValuesNotice"_s)->isVisible()) << "an empty profile cannot submit a portal";

    form.setField(u"fullName"_s, u"  Linh Tran "_s);
    form.setField(u"emailAddress"_s, u"linh@example.com"_s);
    form.setField(u"postalCode"_s, u"70000"_s);
    form.setField(u"birthYear"_s, u"95"_s);
    QMetaObject::invokeMethod(findItem(window, u"saveValuesButton"_s), "clicked");
    QCoreApplication::processEvents();
    EXPECT_EQ(textOf(window, u"formValuesStatus"_s), u"Enter a name, email, postal code, and 4-digit birth year."_s);
    EXPECT_TRUE(rig.rig.store->saves.isEmpty()) << "nothing stored without a 4-digit year";
    EXPECT_EQ(form.profile().fullName, u"Linh Tran"_s) << "the edited copy is normalised";

    form.setField(u"birthYear"_s, u"1995"_s);
    QMetaObject::invokeMethod(findItem(window, u"saveValuesButton"_s), "clicked");
    ASSERT_TRUE(spinUntil([&] { return !rig.rig.store->saves.isEmpty(); }));
    EXPECT_EQ(rig.rig.store->saves.last().birthYear, u"1995"_s);
    QCoreApplication::processEvents();
    EXPECT_FALSE(findItem(window, u"formValuesNotice"_s)->isVisible());
    EXPECT_FALSE(findItem(window, u"formValuesStatus"_s)->isVisible());
    screenshot(window, u"main-form-values"_s);
}
