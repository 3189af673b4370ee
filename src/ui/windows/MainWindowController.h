#pragma once

#include "services/FeedbackKind.h"
#include "ui/MainWindowSizing.h"

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class AboutViewModel;
class AppState;
class FormValuesViewModel;
class QmlWindowHost;

class SettingsViewModel;
class SoftwareUpdateService;
class StatusViewModel;

// The application's one regular window with its four tabs. Made on show and let go, with its view
// models, when closed; its size follows the tab (and, on the status tab, the number of open networks).
class MainWindowController : public QObject {
    Q_OBJECT
    Q_PROPERTY(int selectedTab READ selectedTabIndex NOTIFY selectedTabChanged)

public:
    using FeedbackOpener = std::function<void(FeedbackKind, std::optional<QString> context)>;

    MainWindowController(QmlWindowHost& host, FeedbackOpener openFeedback, QObject* parent = nullptr);
    ~MainWindowController() override;

    void configure(AppState& state, SoftwareUpdateService& updates, std::function<void()> onSetupFinished);
    bool isConfigured() const { return m_state != nullptr; }
    // A missing tab keeps the current one; a missing callback keeps the stored one.
    void show(std::optional<MainWindowTab> tab = std::nullopt, std::function<void()> onSetupFinished = {});
    void close();

    MainWindowTab selectedTab() const { return m_selectedTab; }
    int selectedTabIndex() const { return int(m_selectedTab); }
    // The window and its view models while it is shown; null once closed.
    QQuickWindow* window() const { return qobject_cast<QQuickWindow*>(m_window.data()); }
    StatusViewModel* status() const { return m_status.get(); }
    SettingsViewModel* settings() const { return m_settings.get(); }
    FormValuesViewModel* formValues() const { return m_formValues.get(); }

    // From the window: the tab bar, and the feedback buttons and links of the tabs.
    Q_INVOKABLE void selectTab(int index);
    Q_INVOKABLE void sendFeedback(const QString& context = {});

Q_SIGNALS:
    void selectedTabChanged();

private:
    void createWindow();
    void releaseWindow();
    void scheduleResize();
    void resizeWindow();
    void setSelectedTab(MainWindowTab tab);
    void onLocationStatusChanged();

    QmlWindowHost& m_host;
    FeedbackOpener m_openFeedback;
    AppState* m_state = nullptr;
    SoftwareUpdateService* m_updates = nullptr;
    std::function<void()> m_onSetupFinished;
    MainWindowTab m_selectedTab = MainWindowTab::status;
    std::unique_ptr<StatusViewModel> m_status;
    std::unique_ptr<SettingsViewModel> m_settings;
    std::unique_ptr<FormValuesViewModel> m_formValues;
    std::unique_ptr<AboutViewModel> m_about;
    // A plain QWindow pointer: the window may be read while it is being destroyed, when it no longer is
    // a QQuickWindow.
    QPointer<QWindow> m_window;
    QTimer m_resizeTimer; // the pending resize; a new request replaces it
    bool m_wasLocationNeeded = false;
};
