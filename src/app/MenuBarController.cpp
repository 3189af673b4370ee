#include "app/MenuBarController.h"

#include "state/AppLanguage.h"
#include "state/AppState.h"
#include "ui/UiSymbols.h"
#include "ui/UiText.h"

#include <QSettings>

using namespace Qt::StringLiterals;

MenuBarController::MenuBarController(AppState& state, Actions actions, QObject* parent)
    : QObject(parent), m_state(state), m_actions(std::move(actions))
{
    // The installed theme's symbolic cup (the panel may tint it); the same picture from the resources
    // when running from a build folder. It reads on dark and light panels either way.
    QIcon icon = QIcon::fromTheme(u"com.tolvek.brewbeacon-symbolic"_s,
                                  QIcon(u":/brewbeacon/tray/com.tolvek.brewbeacon-symbolic.svg"_s));
    m_statusItem.setIcon(icon);
    m_statusItem.setContextMenu(&m_menu);
    QObject::connect(&m_menu, &QMenu::aboutToShow, this, &MenuBarController::rebuildMenu);
    QObject::connect(&m_statusItem, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            statusItemClicked();
    });
    QObject::connect(&m_state, &AppState::assistantTitleChanged, this, &MenuBarController::updateTooltip);
    rebuildMenu();
    updateTooltip();
    m_statusItem.show();
}

void MenuBarController::statusItemClicked()
{
    m_state.refreshLocationAuthorizationStatus();
    updateTooltip();
    if (m_actions.showMainWindow)
        m_actions.showMainWindow();
}

void MenuBarController::rebuildMenu()
{
    const QLocale locale = AppLanguages::storedLocale(QSettings());
    m_menu.clear();
    QAction* feedback = m_menu.addAction(QIcon(UiSymbols::iconPath(u"bubble.left.and.bubble.right"_s)),
                                         uiText(u"Send Feedback…"_s, locale));
    QObject::connect(feedback, &QAction::triggered, this, [this] {
        if (m_actions.sendFeedback)
            m_actions.sendFeedback();
    });
    m_menu.addSeparator();
    QAction* quit = m_menu.addAction(QIcon(UiSymbols::iconPath(u"power"_s)), uiText(u"Quit"_s, locale));
    QObject::connect(quit, &QAction::triggered, this, [this] {
        if (m_actions.quit)
            m_actions.quit();
    });
}

void MenuBarController::updateTooltip()
{
    m_statusItem.setToolTip(uiText(m_state.assistantTitle(), AppLanguages::storedLocale(QSettings())));
}
