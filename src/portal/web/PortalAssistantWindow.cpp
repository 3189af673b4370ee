#include "portal/web/PortalAssistantWindow.h"

#include "portal/web/PortalAssistantView.h"
#include "portal/web/PortalBrowserPane.h"

#include "portal/PortalAssistantTexts.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PortalAssistantWindow::PortalAssistantWindow(std::shared_ptr<RetrySleeping> sleeper, QObject* parent)
    : PortalAssistantWindowing(parent), m_widget(new QWidget), m_sleeper(std::move(sleeper))
{
    m_widget->resize(980, 700);
    m_widget->setMinimumSize(900, 620);
    new QVBoxLayout(m_widget);
    m_widget->layout()->setContentsMargins(0, 0, 0, 0);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        m_widget->move(area.center() - QPoint(490, 350));
    }
    m_widget->installEventFilter(this);
}

PortalAssistantWindow::~PortalAssistantWindow()
{
    if (m_widget) {
        m_widget->removeEventFilter(this);
        delete m_widget;
    }
}

void PortalAssistantWindow::setContent(PortalAssistantViewInputs inputs)
{
    if (m_view)
        delete m_view;
    m_widget->setWindowTitle(PortalAssistantTexts::text(u"BrewBeacon Portal Assistant"_s, inputs.locale));
    m_view = new PortalAssistantView(std::move(inputs), m_sleeper, m_widget);
    m_view->browserPane()->setShownToUser(isOnScreen());
    m_widget->layout()->addWidget(m_view);
}

void PortalAssistantWindow::orderOut()
{
    // Shown but not on screen: the page keeps loading, laying out and running its timers.
    if (m_widget->isVisible() && !m_widget->testAttribute(Qt::WA_DontShowOnScreen))
        m_widget->hide();
    m_widget->setAttribute(Qt::WA_DontShowOnScreen, true);
    m_widget->show();
    if (m_view)
        m_view->browserPane()->setShownToUser(false);
}

void PortalAssistantWindow::bringToFront()
{
    if (m_widget->testAttribute(Qt::WA_DontShowOnScreen)) {
        m_widget->hide();
        m_widget->setAttribute(Qt::WA_DontShowOnScreen, false);
    }
    if (m_widget->isMinimized())
        m_widget->showNormal();
    m_widget->show();
    m_widget->raise();
    m_widget->activateWindow();
    if (m_view)
        m_view->browserPane()->setShownToUser(true);
}

void PortalAssistantWindow::close()
{
    m_widget->close();
}

void PortalAssistantWindow::showHandoffReason(const QString& reason)
{
    if (m_view)
        m_view->showHandoffReason(reason);
}

QString PortalAssistantWindow::titleOnScreen() const
{
    return isOnScreen() ? m_widget->windowTitle() : QString();
}

bool PortalAssistantWindow::isOnScreen() const
{
    return m_widget && m_widget->isVisible() && !m_widget->testAttribute(Qt::WA_DontShowOnScreen);
}

bool PortalAssistantWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_widget && event->type() == QEvent::Close)
        Q_EMIT willClose();
    return PortalAssistantWindowing::eventFilter(watched, event);
}
