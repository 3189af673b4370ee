#pragma once

#include <QObject>

#include <memory>

class AppDelegate;
class LogCapture;
class PortalAssistantWindowController;
class QTemporaryDir;

// `brewbeacon --self-test`: opens every window and dialog the app can show (the main window on each
// tab, setup, feedback with its file chooser, the portal assistant, the update dialogs and the tray
// menu) in English and in Vietnamese, and fails on any QML warning, missing QML module or window that
// does not come up. Meant for an installed package and for CI, so it keeps off the user's settings,
// the machine's NetworkManager and the product service.
class SelfTest : public QObject {
    Q_OBJECT

public:
    // Before the application object exists: settings in a private folder, no analytics, and a system
    // bus that answers nothing (unless a test already points it at a simulated one).
    static std::unique_ptr<QTemporaryDir> isolate();

    SelfTest(AppDelegate& delegate, PortalAssistantWindowController* portalAssistant,
             QObject* parent = nullptr);
    ~SelfTest() override;

    // Runs once the event loop runs and ends the process: exit status 0 when everything opened cleanly.
    void start();

private:
    void run();
    void checkLanguage(const QString& label);
    void checkMainWindow(const QString& label);
    void checkOnboardingWindow(const QString& label);
    void checkFeedbackWindow(const QString& label);
    void checkPortalAssistant(const QString& label);
    void checkUpdateDialogs(const QString& label);
    void checkTrayMenu(const QString& label);
    void collectWindowErrors();
    void fail(const QString& problem);

    AppDelegate& m_delegate;
    PortalAssistantWindowController* m_portalAssistant;
    std::unique_ptr<LogCapture> m_log;
};
