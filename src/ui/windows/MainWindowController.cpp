#include "ui/windows/MainWindowController.h"

#include "state/AppState.h"
#include "ui/FormValuesViewModel.h"
#include "ui/SettingsViewModel.h"
#include "ui/StatusNetworks.h"
#include "ui/StatusViewModel.h"
#include "ui/UiLanguage.h"
#include "ui/windows/AboutViewModel.h"
#include "ui/windows/QmlWindowHost.h"
#include "ui/windows/WindowPresenting.h"

#include <QQuickWindow>
#include <QScreen>

using namespace Qt::StringLiterals;

MainWindowController::MainWindowController(QmlWindowHost& host, FeedbackOpener openFeedback, QObject* parent)
    : QObject(parent), m_host(host), m_openFeedback(std::move(openFeedback))
{
    m_resizeTimer.setSingleShot(true);
    m_resizeTimer.setInterval(0);
    QObject::connect(&m_resizeTimer, &QTimer::timeout, this, &MainWindowController::resizeWindow);
    QObject::connect(&host.language(), &UiLanguage::changed, this, [this] {
        if (!m_status)
            return;
        const QLocale locale = m_host.language().locale();
        m_status->setLocale(locale);
        m_settings->setLocale(locale);
        m_formValues->setLocale(locale);
        m_about->setLocale(locale);
    });
}

MainWindowController::~MainWindowController()
{
    // Closed windows still waiting for deletion go first: their bindings read this controller.
    qDeleteAll(findChildren<QQuickWindow*>(Qt::FindDirectChildrenOnly));
}

void MainWindowController::configure(AppState& state, SoftwareUpdateService& updates, std::function<void()> onSetupFinished)
{
    m_onSetupFinished = std::move(onSetupFinished);
    if (m_state == &state && m_updates == &updates)
        return;
    if (m_state)
        QObject::disconnect(m_state, nullptr, this, nullptr);
    releaseWindow();
    m_state = &state;
    m_updates = &updates;
    QObject::connect(&state, &AppState::currentSnapshotChanged, this, [this] {
        if (m_window && m_selectedTab == MainWindowTab::status)
            scheduleResize();
    });
    m_wasLocationNeeded = StatusNetworks::isLocationNeeded(state.locationAuthorizationStatus());
    QObject::connect(&state, &AppState::locationAuthorizationStatusChanged, this, &MainWindowController::onLocationStatusChanged);
}

void MainWindowController::show(std::optional<MainWindowTab> tab, std::function<void()> onSetupFinished)
{
    if (!m_state)
        return;
    if (onSetupFinished)
        m_onSetupFinished = std::move(onSetupFinished);
    if (tab)
        setSelectedTab(*tab);
    if (!m_window)
        createWindow();
    if (!m_window)
        return;
    if (m_selectedTab == MainWindowTab::status)
        m_status->refresh();
    if (m_selectedTab == MainWindowTab::formValues)
        m_formValues->reload();
    bringForward(*m_window);
    scheduleResize();
}

void MainWindowController::close()
{
    m_resizeTimer.stop();
    if (m_window)
        m_window->close();
}

void MainWindowController::createWindow()
{
    // The view models live with the window: without it nothing reads them, and they would follow
    // every check of the state for nobody.
    const QLocale locale = m_host.language().locale();
    m_status = std::make_unique<StatusViewModel>(*m_state, locale);
    m_settings = std::make_unique<SettingsViewModel>(*m_state, *m_updates, locale);
    m_formValues = std::make_unique<FormValuesViewModel>(*m_state, locale);
    m_about = std::make_unique<AboutViewModel>(AboutViewModel::Support::builtIn(), locale);
    m_window = m_host.create(u"MainWindow"_s, {
                                                  {u"controller"_s, QVariant::fromValue<QObject*>(this)},
                                                  {u"status"_s, QVariant::fromValue<QObject*>(m_status.get())},
                                                  {u"settings"_s, QVariant::fromValue<QObject*>(m_settings.get())},
                                                  {u"formValues"_s, QVariant::fromValue<QObject*>(m_formValues.get())},
                                                  {u"about"_s, QVariant::fromValue<QObject*>(m_about.get())},
                                                  {u"language"_s, QVariant::fromValue<QObject*>(&m_host.language())},
                                              });
    if (!m_window) {
        releaseWindow();
        return;
    }
    m_window->QObject::setParent(this);
    const QSizeF size = MainWindowSizing::preferredContentSize(m_selectedTab, &m_state->currentSnapshot());
    m_window->resize(size.toSize());
    m_window->setMinimumSize(QSize(int(MainWindowSizing::minimumWidth), int(MainWindowSizing::minimumHeight)));
    // Closed is gone: the next show builds the window anew.
    QObject::connect(m_window, &QWindow::visibleChanged, this, [this](bool visible) {
        if (!visible)
            releaseWindow();
    });
}

void MainWindowController::releaseWindow()
{
    m_resizeTimer.stop();
    QWindow* window = m_window;
    m_window = nullptr;
    QObject* models[] = {m_status.release(), m_settings.release(), m_formValues.release(), m_about.release()};
    for (QObject* model : models) {
        if (!model)
            continue;
        // The window's bindings read its view models until it is gone, so they go with it.
        if (window)
            model->setParent(window);
        else
            delete model;
    }
    if (window)
        window->deleteLater();
}

void MainWindowController::selectTab(int index)
{
    if (index < 0 || index > int(MainWindowTab::about))
        return;
    const auto tab = static_cast<MainWindowTab>(index);
    setSelectedTab(tab);
    scheduleResize();
    if (tab == MainWindowTab::status && m_status)
        m_status->refresh();
    if (tab == MainWindowTab::formValues && m_formValues)
        m_formValues->reload();
}

void MainWindowController::sendFeedback(const QString& context)
{
    if (m_openFeedback)
        m_openFeedback(FeedbackKind::problem, context.isEmpty() ? std::nullopt : std::optional<QString>(context));
}

void MainWindowController::setSelectedTab(MainWindowTab tab)
{
    if (std::exchange(m_selectedTab, tab) != tab)
        Q_EMIT selectedTabChanged();
}

void MainWindowController::scheduleResize()
{
    m_resizeTimer.start();
}

void MainWindowController::resizeWindow()
{
    if (!m_window || !m_window->isVisible() || !m_state)
        return;
    const QScreen* screen = m_window->screen();
    if (!screen)
        return;
    const QSizeF content = MainWindowSizing::preferredContentSize(m_selectedTab, &m_state->currentSnapshot());
    const QRectF current = m_window->geometry().toRectF();
    const QRectF wanted(current.topLeft(), content);
    const QRectF target = MainWindowSizing::fittedFrame(wanted, screen->availableGeometry().toRectF());
    if (MainWindowSizing::differsEnough(current, target))
        m_window->setGeometry(target.toAlignedRect());
}

void MainWindowController::onLocationStatusChanged()
{
    const bool needed = StatusNetworks::isLocationNeeded(m_state->locationAuthorizationStatus());
    // Granted while the window was open (from the settings tab's button): setup is finished.
    if (std::exchange(m_wasLocationNeeded, needed) && !needed && m_window && m_window->isVisible() && m_onSetupFinished)
        m_onSetupFinished();
}
