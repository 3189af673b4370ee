// The setup and feedback windows, and the shell's first-window decision and quit policy.
#include "WindowTestSupport.h"
#include "app/AppDelegate.h"
#include "app/MenuBarController.h"
#include "services/FeedbackService.h"
#include "services/ProductServiceURL.h"
#include "state/AppLifecycleController.h"
#include "testkit/Await.h"
#include "testkit/LoopbackProductService.h"
#include "ui/OnboardingViewModel.h"
#include "ui/UiText.h"
#include "ui/windows/FeedbackViewModel.h"
#include "ui/windows/FeedbackWindowController.h"
#include "ui/windows/MainWindowController.h"
#include "ui/windows/OnboardingWindowController.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QJsonArray>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(OnboardingWindow, AsksForThePermissionAndFinishesOnce)
{
    WindowRig rig;
    rig.rig.location = LocationAuthorizationStatus::denied;
    rig.build();
    OnboardingWindowController onboarding(*rig.host, *rig.state);
    int finished = 0;
    onboarding.show([&] { ++finished; });
    QQuickWindow* window = onboarding.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->title(), u"BrewBeacon Setup"_s);
    EXPECT_EQ(window->size(), QSize(560, 280));
    EXPECT_EQ(window->geometry().center(), window->screen()->availableGeometry().center());
    const Qt::WindowFlags flags = window->flags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)) << "titled and closable only";
    EXPECT_EQ(textOf(window, u"locationButton"_s), u"Open Settings"_s);
    EXPECT_FALSE(findItem(window, u"continueButton"_s)->isEnabled()) << "the gate holds while permission is denied";
    screenshot(window, u"onboarding-denied"_s);

    // The user grants the permission in the desktop's settings, whose window now has the focus.
    QQuickWindow settings;
    settings.show();
    settings.requestActivate();
    ASSERT_TRUE(spinUntil([&] { return QGuiApplication::focusWindow() == &settings; }));
    rig.rig.location = LocationAuthorizationStatus::allowed;
    rig.state->refreshLocationAuthorizationStatus();
    QCoreApplication::processEvents();
    EXPECT_EQ(textOf(window, u"locationButton"_s), u"Allowed"_s);
    EXPECT_TRUE(spinUntil([&] { return QGuiApplication::focusWindow() == window; }))
        << "granting brings the setup window back to the front";
    settings.close();
    ASSERT_TRUE(findItem(window, u"continueButton"_s)->isEnabled());
    QMetaObject::invokeMethod(findItem(window, u"continueButton"_s), "clicked");
    onboarding.viewModel().pressContinue();
    EXPECT_EQ(finished, 1) << "a second press finds nothing to run";
    ASSERT_TRUE(spinUntil([&] { return onboarding.window() == nullptr; })) << "finishing closes and forgets the window";

    onboarding.show([&] { ++finished; });
    EXPECT_NE(onboarding.window(), nullptr) << "reopening builds a new window";
}

TEST(FeedbackWindow, SendsToTheProductServiceAndShowsTheResult)
{
    LoopbackProductService service;
    ASSERT_TRUE(service.isRunning()) << service.errorText().toStdString();
    WindowRig rig;
    rig.build();
    FeedbackWindowController feedback(*rig.host, *rig.state,
                                      FeedbackService(ProductServiceURL::endpoint(service.base(), FeedbackService::endpointPath())));
    FeedbackViewModel& form = feedback.viewModel();
    feedback.show(FeedbackKind::idea, u"No open cafe Wi-Fi found"_s);
    QQuickWindow* window = feedback.window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), QSize(560, 680));
    EXPECT_EQ(window->geometry().center(), window->screen()->availableGeometry().center()) << "opens centred";
    EXPECT_EQ(textOf(window, u"feedbackContext"_s), u"No open cafe Wi-Fi found"_s);
    EXPECT_EQ(textOf(window, u"messageTitle"_s), u"What would you like to see?"_s);
    EXPECT_FALSE(findItem(window, u"sendButton"_s)->isEnabled()) << "nothing to send yet";

    form.setMessage(u"word "_s.repeated(2001));
    QCoreApplication::processEvents();
    EXPECT_FALSE(findItem(window, u"sendButton"_s)->isEnabled());
    EXPECT_TRUE(findItem(window, u"wordLimitNotice"_s)->isVisible()) << "a disabled Send says why";
    screenshot(window, u"feedback-over-limit"_s);

    form.setMessage(u"Show the portal's name in the tray tooltip"_s);
    QCoreApplication::processEvents();
    EXPECT_FALSE(findItem(window, u"wordLimitNotice"_s)->isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(textOf(window, u"wordCounter"_s), u"8/2,000 words"_s);
    ASSERT_TRUE(findItem(window, u"sendButton"_s)->isEnabled());
    QMetaObject::invokeMethod(findItem(window, u"sendButton"_s), "clicked");
    EXPECT_EQ(textOf(window, u"sendButton"_s), u"Sending…"_s);
    EXPECT_FALSE(findItem(window, u"sendButton"_s)->isEnabled());
    await(form.sendFinished());
    QCoreApplication::processEvents();
    EXPECT_TRUE(textOf(window, u"resultLine"_s).startsWith(u"Feedback sent. Reference "_s));
    EXPECT_EQ(textOf(window, u"resultLine"_s).size(), u"Feedback sent. Reference "_s.size() + 8);
    const QJsonArray reports = service.state().value(u"feedback"_s).toArray();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0][u"userAgent"_s].toString().startsWith(u"BrewBeacon/"_s));
    EXPECT_EQ(reports[0][u"report"_s][u"kind"_s].toString(), u"idea"_s);
    screenshot(window, u"feedback-sent"_s);

    ASSERT_TRUE(service.behave(FeedbackService::endpointPath(), 500, 1));
    form.send();
    await(form.sendFinished());
    QCoreApplication::processEvents();
    EXPECT_EQ(textOf(window, u"resultLine"_s), FeedbackServiceError::rejectionText());
    EXPECT_EQ(form.message(), u"Show the portal's name in the tray tooltip"_s) << "a rejected report can be sent again";

    QTemporaryDir shots;
    QList<QUrl> files;
    for (const QString& name : {u"one.png"_s, u"two.png"_s}) {
        QImage image(40 + files.size(), 30, QImage::Format_RGB32);
        image.fill(files.isEmpty() ? Qt::red : Qt::blue);
        ASSERT_TRUE(image.save(shots.filePath(name)));
        files.append(QUrl::fromLocalFile(shots.filePath(name)));
    }
    form.addAttachments(files);
    QCoreApplication::processEvents();
    ASSERT_EQ(form.attachments().size(), 2);
    EXPECT_TRUE(form.attachments().first().toMap().value(u"thumbnail"_s).toString().startsWith(u"data:image/png;base64,"_s));
    EXPECT_TRUE(textOf(window, u"attachmentCounter"_s).startsWith(u"2 of 5 images · "_s)) << textOf(window, u"attachmentCounter"_s).toStdString();
    form.removeAttachment(form.attachments().first().toMap().value(u"id"_s).toString());
    QCoreApplication::processEvents();
    EXPECT_TRUE(textOf(window, u"attachmentCounter"_s).startsWith(u"1 of 5 images · "_s)) << "the counter follows a removal at once";
    screenshot(window, u"feedback-attachments"_s);

    feedback.close();
    EXPECT_EQ(feedback.window(), nullptr) << "a closed window is let go";
    feedback.show(FeedbackKind::problem, std::nullopt);
    ASSERT_NE(feedback.window(), nullptr);
    EXPECT_EQ(textOf(feedback.window(), u"messageTitle"_s), u"What went wrong?"_s) << "the new window reads the form";
    EXPECT_EQ(form.message(), QString()) << "showing again gives a fresh form";
    EXPECT_TRUE(form.attachments().isEmpty());
    EXPECT_FALSE(form.hasResult());
}

TEST(AppShell, SetupComesFirstWithoutPermissionAndOnlyTheMenuEndsTheProcess)
{
    WindowRig rig;
    rig.rig.location = LocationAuthorizationStatus::denied;
    rig.rig.path->status = NetworkPathStatus::unsatisfied();
    rig.build();
    AppDelegate::Parts parts;
    parts.appState = rig.state.get();
    parts.softwareUpdater = rig.makeUpdates();
    parts.showsStatusItem = false;
    AppDelegate delegate(std::move(parts));
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(rig.rig.analytics->named(AppAnalyticsEventName::appLaunch).size(), 1);
    ASSERT_TRUE(spinUntil([&] { return delegate.onboardingWindow().window() != nullptr; }));
    EXPECT_FALSE(rig.state->isAssistantStarted());
    EXPECT_EQ(delegate.mainWindow().window(), nullptr);

    rig.rig.location = LocationAuthorizationStatus::allowed;
    rig.state->refreshLocationAuthorizationStatus();
    delegate.onboardingWindow().viewModel().pressContinue();
    EXPECT_TRUE(rig.state->isAssistantStarted());
    ASSERT_NE(delegate.mainWindow().window(), nullptr);
    EXPECT_TRUE(delegate.mainWindow().window()->isVisible());
    EXPECT_EQ(delegate.mainWindow().selectedTab(), MainWindowTab::status);

    EXPECT_FALSE(delegate.applicationShouldTerminate()) << "a request from outside the menu is refused";
    EXPECT_EQ(delegate.mainWindow().window(), nullptr) << "and closes the windows";
    AppLifecycleController::shared().softwareUpdateRelaunchRequested = true;
    EXPECT_TRUE(delegate.applicationShouldTerminate()) << "an update relaunch may end the process";
    EXPECT_FALSE(delegate.applicationShouldTerminate()) << "each request spends the flags";
    AppLifecycleController::shared().menuQuitRequested = true;
    EXPECT_TRUE(delegate.applicationShouldTerminate());
    await(rig.state->runConnectivityCheckToCompletion(false));
}

TEST(AppShell, TheFirstWindowWaitsForThePermissionReadingAndAnAnswerLateBeyondTheBoundShowsTheGate)
{
    // A launch whose permission status nobody has read yet, waiting at most `bound` for the first reading.
    const auto launch = [](WindowRig& windows, std::chrono::milliseconds bound) {
        windows.rig.location = LocationAuthorizationStatus::unknown;
        windows.rig.path->status = NetworkPathStatus::unsatisfied();
        windows.build();
        AppDelegate::Parts parts;
        parts.appState = windows.state.get();
        parts.softwareUpdater = windows.makeUpdates();
        parts.showsStatusItem = false;
        parts.firstPermissionReadingBound = bound;
        auto delegate = std::make_unique<AppDelegate>(std::move(parts));
        delegate->applicationDidFinishLaunching();
        return delegate;
    };

    WindowRig rig;
    const auto launched = launch(rig, std::chrono::hours(1));
    AppDelegate& delegate = *launched;
    QCoreApplication::processEvents();
    EXPECT_EQ(delegate.mainWindow().window(), nullptr) << "no choice from a status nobody has read yet";
    EXPECT_EQ(delegate.onboardingWindow().window(), nullptr);
    rig.rig.location = LocationAuthorizationStatus::denied;
    rig.state->handleLocationAuthorizationChange(LocationAuthorizationStatus::denied);
    ASSERT_TRUE(spinUntil([&] { return delegate.onboardingWindow().window() != nullptr; }));
    EXPECT_EQ(delegate.mainWindow().window(), nullptr);

    WindowRig silent;
    const auto silentLaunch = launch(silent, std::chrono::milliseconds(1));
    AppDelegate& waiting = *silentLaunch;
    ASSERT_TRUE(spinUntil([&] { return waiting.onboardingWindow().window() != nullptr; }));
    EXPECT_EQ(waiting.mainWindow().window(), nullptr);
}

TEST(MenuBar, TheTrayItemNamesTheStateAndItsMenuHasFeedbackAndQuit)
{
    WindowRig rig;
    rig.build();
    int mainWindow = 0, feedback = 0, quit = 0;
    MenuBarController menuBar(*rig.state, {[&] { ++mainWindow; }, [&] { ++feedback; }, [&] { ++quit; }});
    EXPECT_EQ(menuBar.statusItem().toolTip(), rig.state->assistantTitle());

    Q_EMIT menuBar.menu().aboutToShow(); // the menu is built anew each time it opens
    Q_EMIT menuBar.menu().aboutToShow();
    const QList<QAction*> items = menuBar.menu().actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), u"Send Feedback…"_s);
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), u"Quit"_s);
    items[0]->trigger();
    items[2]->trigger();
    Q_EMIT menuBar.statusItem().activated(QSystemTrayIcon::Trigger);
    Q_EMIT menuBar.statusItem().activated(QSystemTrayIcon::Context);
    EXPECT_EQ(feedback, 1);
    EXPECT_EQ(quit, 1);
    EXPECT_EQ(mainWindow, 1) << "only a left click opens the window";

    // The tray speaks the chosen language too.
    QSettings().setValue(u"appLanguage"_s, u"vi"_s);
    MenuBarController vietnamese(*rig.state, {[] {}, [] {}, [] {}});
    Q_EMIT vietnamese.menu().aboutToShow();
    QSettings().remove(u"appLanguage"_s);
    EXPECT_EQ(vietnamese.statusItem().toolTip(), uiText(rig.state->assistantTitle(), QLocale(QLocale::Vietnamese)));
    EXPECT_NE(vietnamese.statusItem().toolTip(), rig.state->assistantTitle());
    const QList<QAction*> translated = vietnamese.menu().actions();
    ASSERT_EQ(translated.size(), 3);
    EXPECT_NE(translated[0]->text(), items[0]->text());
    EXPECT_NE(translated[2]->text(), items[2]->text());
}
