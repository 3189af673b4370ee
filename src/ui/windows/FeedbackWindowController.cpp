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
    delete m_window;
}

void FeedbackWindowController::show(FeedbackKind kind, const std::optional<QString>& context)
{
    m_viewModel->reset(kind, context);
    if (!m_window) {
        m_window = m_host.create(u"FeedbackWindow"_s, {{u"feedback"_s, QVariant::fromValue<QObject*>(m_viewModel.get())}});
        if (!m_window)
            return;
        m_window->setMinimumSize({520, 620});
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
