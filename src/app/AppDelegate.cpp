#include "app/AppDelegate.h"

#include "app/MenuBarController.h"
#include "portal/PortalAssistantWindowController.h"
#include "services/AppAnalyticsEvent.h"
#include "services/AppAnalyticsReporting.h"
#include "services/SoftwareUpdateService.h"
#include "state/AppLifecycleController.h"
#include "state/AppState.h"
#include "state/LocationAuthorizationStatus.h"
#include "ui/UiLanguage.h"
#include "ui/windows/FeedbackWindowController.h"
#include "ui/windows/MainWindowController.h"
#include "ui/windows/OnboardingWindowController.h"
#include "ui/windows/QmlWindowHost.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QSettings>
#include <QTimer>
#include <QWindow>

using namespace Qt::StringLiterals;

AppDelegate::AppDelegate(Parts parts, QObject* parent)
    : QObject(parent),
      m_appState(parts.appState),
      m_softwareUpdater(std::move(parts.softwareUpdater)),
      m_portalAssistant(std::move(parts.portalAssistant)),
      m_showsStatusItem(parts.showsStatusItem),
      m_firstPermissionReadingBound(parts.firstPermissionReadingBound),
      m_language(std::make_unique<UiLanguage>(std::make_shared<QSettings>())),
      m_windowHost(std::make_unique<QmlWindowHost>(*m_language)),
      m_feedbackWindow(std::make_unique<FeedbackWindowController>(*m_windowHost, *m_appState)),
      m_onboardingWindow(std::make_unique<OnboardingWindowController>(*m_windowHost, *m_appState)),
      m_mainWindow(std::make_unique<MainWindowController>(
          *m_windowHost, [this](FeedbackKind kind, std::optional<QString> context) { m_feedbackWindow->show(kind, context); }))
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    QPointer<AppDelegate> self(this);
    m_mainWindow->configure(*m_appState, *m_softwareUpdater, [self] {
        if (self)
            self->finishPermissionSetup();
    });
    if (m_showsStatusItem) {
        MenuBarController::Actions actions;
        actions.showMainWindow = [this] { showMainWindowFromStatusItem(); };
        actions.sendFeedback = [this] { m_feedbackWindow->show(FeedbackKind::problem, std::nullopt); };
        actions.quit = [this] { quitFromMenu(); };
        m_menuBarController = std::make_unique<MenuBarController>(*m_appState, std::move(actions));
    }
    if (m_portalAssistant)
        m_appState->setPortalAssistant(m_portalAssistant);
    m_appState->setOpenNetworksDetectedHandler([self](const QList<PublicNetworkCandidate>&) {
        if (self && self->m_mainWindow->isConfigured())
            self->m_mainWindow->show(MainWindowTab::status);
    });
    m_appState->analytics().track(AppAnalyticsEvent::make(AppAnalyticsEventName::appLaunch));
    m_appState->refreshLocationAuthorizationStatus();
    // Launching finishes first; the first window comes from the event loop.
    QTimer::singleShot(0, this, [self] {
        if (self)
            self->presentInitialWindow();
    });
}

void AppDelegate::presentInitialWindow()
{
    m_appState->refreshLocationAuthorizationStatus();
    const bool gated = m_appState->requiresLocationPermissionGate();
    const LocationAuthorizationStatus status = m_appState->locationAuthorizationStatus();
    if (gated && status == LocationAuthorizationStatus::unknown && !m_firstPermissionReadingAwaited) {
        waitForFirstPermissionReading();
        return;
    }
    // Still no reading after the wait: the gate is shown rather than a main window that cannot work.
    const bool stillUnknown = gated && status == LocationAuthorizationStatus::unknown;
    if (stillUnknown || initialWindow(status) == InitialWindow::onboarding) {
        m_onboardingWindow->show([this] { finishPermissionSetup(); });
        return;
    }
    m_onboardingWindow->close();
    startAssistantAndPresentMainWindow();
}

void AppDelegate::waitForFirstPermissionReading()
{
    // The permission arrives asynchronously from NetworkManager; the choice waits for it, bounded.
    m_firstPermissionReadingAwaited = true;
    auto* waiter = new QObject(this);
    const auto decide = [this, waiter] {
        waiter->deleteLater();
        presentInitialWindow();
    };
    QObject::connect(m_appState, &AppState::locationAuthorizationStatusChanged, waiter, [decide, waiter] {
        // One decision only: whichever of the reading and the bound comes first.
        if (!waiter->property("decided").toBool()) {
            waiter->setProperty("decided", true);
            decide();
        }
    });
    QTimer::singleShot(m_firstPermissionReadingBound, waiter, [decide, waiter] {
        if (!waiter->property("decided").toBool()) {
            waiter->setProperty("decided", true);
            decide();
        }
    });
}

void AppDelegate::finishPermissionSetup()
{
    m_appState->refreshLocationAuthorizationStatus();
    if (needsPermission(m_appState->locationAuthorizationStatus())) {
        m_onboardingWindow->show([this] { finishPermissionSetup(); });
        return;
    }
    startAssistantAndPresentMainWindow();
}

void AppDelegate::startAssistantAndPresentMainWindow()
{
    m_appState->startPublicWiFiAssistant();
    if (m_mainWindow->isConfigured())
        m_mainWindow->show(MainWindowTab::status);
}

void AppDelegate::showMainWindowFromStatusItem()
{
    m_appState->refreshLocationAuthorizationStatus();
    if (needsPermission(m_appState->locationAuthorizationStatus())) {
        m_onboardingWindow->show([this] {
            m_appState->startPublicWiFiAssistant();
            m_mainWindow->show(MainWindowTab::status);
        });
        return;
    }
    m_mainWindow->show(MainWindowTab::status);
}

void AppDelegate::applicationShouldHandleReopen()
{
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible())
            return;
    }
    presentInitialWindow();
}

void AppDelegate::applicationDidRequestActivation()
{
    if (m_mainWindow->isConfigured())
        showMainWindowFromStatusItem();
}

bool AppDelegate::applicationShouldTerminate()
{
    if (AppLifecycleController::shared().shouldTerminate() == AppLifecycleController::TerminationReply::terminateNow)
        return true;
    closeAllWindows();
    return false;
}

void AppDelegate::quitFromMenu()
{
    AppLifecycleController::shared().menuQuitRequested = true;
    if (applicationShouldTerminate())
        QCoreApplication::quit();
}

void AppDelegate::closeAllWindows()
{
    m_mainWindow->close();
    m_onboardingWindow->close();
    m_feedbackWindow->close();
    if (m_portalAssistant)
        m_portalAssistant->closeWindow();
}
