#include "ui/windows/FeedbackWindowController.h"

#include "ui/UiLanguage.h"
#include "ui/WindowPlacement.h"
#include "ui/windows/FeedbackViewModel.h"
#include "ui/windows/QmlWindowHost.h"
#include "ui/windows/WindowPresenting.h"

#include <QScreen>

using namespace Qt::StringLiterals;

FeedbackWindowController::FeedbackWindowController(QmlWindowHost& host, AppState& state, FeedbackService service,
                                                   QObject* parent)
    : QObject(parent),
      m_host(host),
      m_viewModel(std::make_unique<FeedbackViewModel>(state, std::move(service), host.language().locale()))
{
    QObject::connect(&host.language(), &UiLanguage::changed, this,
                     [this] { m_viewModel->setLocale(m_host.language().locale()); });
}

FeedbackWindowController::~FeedbackWindowController()
{
    // Closed windows still waiting for deletion go first: their bindings read the view model.
    qDeleteAll(findChildren<QQuickWindow*>(Qt::FindDirectChildrenOnly));
}

void FeedbackWindowController::show(FeedbackKind kind, const std::optional<QString>& context)
{
    m_viewModel->reset(kind, context);
    if (!m_window) {
        m_window = m_host.create(u"FeedbackWindow"_s, {{u"feedback"_s, QVariant::fromValue<QObject*>(m_viewModel.get())}});
        if (!m_window)
            return;
        m_window->QObject::setParent(this);
        m_window->setMinimumSize({520, 620});
        // Closed is gone: each show starts from a fresh form anyway.
        QObject::connect(m_window, &QWindow::visibleChanged, this, [this](bool visible) {
            if (!visible)
                forgetWindow();
        });
    }
    if (!m_window->isVisible()) {
        // Centred and within the screen each time it opens, as the user last saw it otherwise.
        if (const QScreen* screen = m_window->screen())
            m_window->setGeometry(WindowPlacement::centredFrame({560, 680}, {520, 620}, screen->availableGeometry()));
        else
            m_window->resize(560, 680);
    }
    bringForward(*m_window);
}

void FeedbackWindowController::close()
{
    if (m_window)
        m_window->close();
}

void FeedbackWindowController::forgetWindow()
{
    if (m_window)
        m_window->deleteLater();
    m_window = nullptr;
}
