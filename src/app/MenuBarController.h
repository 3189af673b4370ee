#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>

class AppState;

// The tray item: the coffee cup with the assistant's title as its tooltip. A left click opens the main
// window (or the setup window while permission is missing); the right-click menu has "Send Feedback…"
// and "Quit", built anew each time it opens.
class MenuBarController : public QObject {
    Q_OBJECT

public:
    struct Actions {
        std::function<void()> showMainWindow;
        std::function<void()> sendFeedback;
        std::function<void()> quit;
    };

    MenuBarController(AppState& state, Actions actions, QObject* parent = nullptr);

    QSystemTrayIcon& statusItem() { return m_statusItem; }
    QMenu& menu() { return m_menu; }

    // The status item's action for a left click.
    void statusItemClicked();

private:
    void rebuildMenu();
    void updateTooltip();

    AppState& m_state;
    Actions m_actions;
    QSystemTrayIcon m_statusItem;
    QMenu m_menu;
};
