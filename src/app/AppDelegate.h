#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

class AppState;
class FeedbackWindowController;
class MainWindowController;
class MenuBarController;
class OnboardingWindowController;
class PortalAssistantWindowController;
class QmlWindowHost;
class SoftwareUpdateService;
class UiLanguage;

// Wires the windows and the tray item to the application state, decides which window opens first,
// and applies the quit policy: only the menu's Quit or an update relaunch ends the process.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    struct Parts {
        AppState* appState = nullptr;
        std::unique_ptr<SoftwareUpdateService> softwareUpdater;
        // Null where no portal window can be made (the window tests).
        std::shared_ptr<PortalAssistantWindowController> portalAssistant;
        bool showsStatusItem = true;
        // How long the first window waits for the first permission reading before showing the gate.
        std::chrono::milliseconds firstPermissionReadingBound{3000};
    };

    explicit AppDelegate(Parts parts, QObject* parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    // Reopening without visible windows repeats the initial-window decision.
    void applicationShouldHandleReopen();
    // Another start of the app asked this one to come forward: the main window (or the setup window
    // while permission is missing), as a click on the tray item does.
    void applicationDidRequestActivation();
    // Any request to end the process goes through here; returns whether it may end now.
    bool applicationShouldTerminate();
    // The menu's Quit.
    void quitFromMenu();

    AppState& appState() const { return *m_appState; }
    SoftwareUpdateService& softwareUpdater() const { return *m_softwareUpdater; }
    MainWindowController& mainWindow() const { return *m_mainWindow; }
    OnboardingWindowController& onboardingWindow() const { return *m_onboardingWindow; }
    FeedbackWindowController& feedbackWindow() const { return *m_feedbackWindow; }
    MenuBarController* menuBarController() const { return m_menuBarController.get(); }
    UiLanguage& language() const { return *m_language; }

private:
    void presentInitialWindow();
    void waitForFirstPermissionReading();
    void finishPermissionSetup();
    void startAssistantAndPresentMainWindow();
    void showMainWindowFromStatusItem();
    void closeAllWindows();

    AppState* m_appState;
    std::unique_ptr<SoftwareUpdateService> m_softwareUpdater;
    std::shared_ptr<PortalAssistantWindowController> m_portalAssistant;
    bool m_showsStatusItem;
    std::chrono::milliseconds m_firstPermissionReadingBound;
    bool m_firstPermissionReadingAwaited = false;
    std::unique_ptr<UiLanguage> m_language;
    std::unique_ptr<QmlWindowHost> m_windowHost;
    std::unique_ptr<FeedbackWindowController> m_feedbackWindow;
    std::unique_ptr<OnboardingWindowController> m_onboardingWindow;
    std::unique_ptr<MainWindowController> m_mainWindow;
    std::unique_ptr<MenuBarController> m_menuBarController;
};
