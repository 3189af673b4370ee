#include "ui/windows/OnboardingWindowController.h"

#include "ui/OnboardingViewModel.h"
#include "state/AppState.h"
#include "state/LocationAuthorizationStatus.h"
#include "ui/UiLanguage.h"
#include "ui/WindowPlacement.h"
#include "ui/windows/QmlWindowHost.h"
#include "ui/windows/WindowPresenting.h"

#include <QGuiApplication>
#include <QScreen>

using namespace Qt::StringLiterals;

OnboardingWindowController::OnboardingWindowController(QmlWindowHost& host, AppState& state, QObject* parent)
    : QObject(parent), m_host(host), m_viewModel(std::make_unique<OnboardingViewModel>(state, host.language().locale()))
{
    QObject::connect(&host.language(), &UiLanguage::changed, this,
                     [this] { m_viewModel->setLocale(m_host.language().locale()); });
    QObject::connect(m_viewModel.get(), &OnboardingViewModel::closeRequested, this, &OnboardingWindowController::close);
    // The permission may have been granted in the desktop's settings meanwhile.
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && m_window)
            m_viewModel->refresh();
    });
    // Granted in the desktop's settings, whose window now covers this one: come back to the front, where
    // "Continue" waits.
    QObject::connect(&state, &AppState::locationAuthorizationStatusChanged, this, [this, &state] {
        if (m_window && m_window->isVisible() && state.locationAuthorizationStatus() == LocationAuthorizationStatus::allowed)
            bringForward(*m_window);
    });
}

OnboardingWindowController::~OnboardingWindowController()
{
    // Closed windows still waiting for deletion go first: their bindings read the view model.
    qDeleteAll(findChildren<QQuickWindow*>(Qt::FindDirectChildrenOnly));
}

void OnboardingWindowController::show(std::function<void()> onFinished)
{
    m_viewModel->setOnFinished(std::move(onFinished));
    if (!m_window) {
        m_window = m_host.create(u"OnboardingWindow"_s, {{u"onboarding"_s, QVariant::fromValue<QObject*>(m_viewModel.get())}});
        if (!m_window)
            return;
        m_window->QObject::setParent(this);
        // Titled and closable only: a setup step is neither minimised nor maximised.
        m_window->setFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        m_window->setMinimumSize({520, 280});
        m_window->setMaximumSize({680, 340});
        if (const QScreen* screen = m_window->screen())
            m_window->setGeometry(WindowPlacement::centredFrame({560, 280}, {520, 280}, screen->availableGeometry()));
        else
            m_window->resize(560, 280);
        // The first frame can land before the window manager has settled the size, leaving the window
        // black until something redraws it; one more frame after the first is cheap insurance.
        QObject::connect(window(), &QQuickWindow::frameSwapped, window(), &QQuickWindow::update, Qt::SingleShotConnection);
        QObject::connect(m_window, &QWindow::visibleChanged, this, [this](bool visible) {
            if (!visible)
                forgetWindow();
        });
    }
    m_viewModel->refresh();
    bringForward(*m_window);
}

void OnboardingWindowController::close()
{
    if (m_window)
        m_window->close();
}

void OnboardingWindowController::forgetWindow()
{
    if (m_window)
        m_window->deleteLater();
    m_window = nullptr;
}
