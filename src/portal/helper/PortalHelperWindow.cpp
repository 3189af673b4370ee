#include "portal/helper/PortalHelperWindow.h"

#include "portal/helper/PortalHelperConnection.h"

#include <QPointer>

using namespace Qt::StringLiterals;
using Type = PortalHelperMessage::Type;

PortalHelperWindow::PortalHelperWindow(ConnectionFactory makeConnection, QObject* parent)
    : PortalAssistantWindowing(parent), m_makeConnection(std::move(makeConnection))
{
}

PortalHelperWindow::~PortalHelperWindow()
{
    if (m_helper) {
        m_helper->disconnect(this);
        m_helper->expectEnd();
    }
}

qint64 PortalHelperWindow::helperProcessId() const
{
    return m_helper ? m_helper->processId() : 0;
}

void PortalHelperWindow::setContent(PortalAssistantViewInputs inputs)
{
    m_inputs = std::move(inputs);
    m_hasContent = true;
    m_handoffReason.reset();
    // A helper already running makes a fresh view itself; a new one gets the content when it starts.
    if (m_helper)
        send(contentMessage());
    else
        ensureHelper();
}

void PortalHelperWindow::orderOut()
{
    m_titleOnScreen.clear();
    if (ensureHelper())
        send(PortalHelperMessage::ofType(Type::orderOut));
}

void PortalHelperWindow::bringToFront()
{
    if (ensureHelper())
        send(PortalHelperMessage::ofType(Type::bringToFront));
}

void PortalHelperWindow::close()
{
    if (m_closing)
        return;
    m_closing = true;
    m_titleOnScreen.clear();
    if (!m_helper) {
        Q_EMIT willClose();
        return;
    }
    send(PortalHelperMessage::ofType(Type::close));
}

void PortalHelperWindow::showHandoffReason(const QString& reason)
{
    m_handoffReason = reason;
    if (m_helper) {
        PortalHelperMessage message = PortalHelperMessage::ofType(Type::handoffReason);
        message.text = reason;
        send(message);
    }
}

bool PortalHelperWindow::ensureHelper()
{
    if (m_helper)
        return true;
    if (!m_hasContent || m_closing || !m_makeConnection)
        return false;
    m_helper = m_makeConnection();
    if (!m_helper)
        return false;
    connect(m_helper.get(), &PortalHelperConnection::received, this, &PortalHelperWindow::received);
    connect(m_helper.get(), &PortalHelperConnection::failed, this, &PortalHelperWindow::helperFailed);
    m_helper->start();
    send(contentMessage());
    if (m_handoffReason)
        showHandoffReason(*m_handoffReason);
    return true;
}

PortalHelperMessage PortalHelperWindow::contentMessage() const
{
    PortalHelperMessage message = PortalHelperMessage::ofType(Type::content);
    message.url = m_inputs.url;
    message.profile = m_inputs.initialProfile;
    message.language = m_inputs.locale.name();
    return message;
}

void PortalHelperWindow::send(const PortalHelperMessage& message)
{
    if (m_helper)
        m_helper->send(message);
}

void PortalHelperWindow::received(const PortalHelperMessage& message)
{
    const QPointer<PortalHelperWindow> self(this);
    switch (message.type) {
    case Type::event:
        if (m_inputs.onEvent)
            m_inputs.onEvent(message.event);
        return;
    case Type::save:
        if (m_inputs.onSave)
            m_inputs.onSave(message.profile.normalized());
        return;
    case Type::openInBrowser:
        if (m_inputs.onOpenInBrowser)
            m_inputs.onOpenInBrowser();
        return;
    case Type::shown:
        m_titleOnScreen = message.text;
        return;
    case Type::closed:
        // Only a window on screen can be closed by its user: anything else is the helper misbehaving.
        if (!m_closing && m_titleOnScreen.isEmpty()) {
            helperFailed({PortalHelperFailure::Kind::protocol, u"closed a window that was not on screen"_s});
            return;
        }
        m_closing = true;
        m_titleOnScreen.clear();
        if (m_helper)
            m_helper->expectEnd();
        dropHelper();
        Q_EMIT willClose();
        return;
    default:
        return;
    }
}

void PortalHelperWindow::helperFailed(const PortalHelperFailure& failure)
{
    dropHelper();
    m_titleOnScreen.clear();
    if (m_closing) {
        Q_EMIT willClose();
        return;
    }
    Q_EMIT engineFailed(failure.category());
}

void PortalHelperWindow::dropHelper()
{
    if (!m_helper)
        return;
    m_helper->disconnect(this);
    // Possibly inside one of its signals: it goes once that has returned.
    m_helper.release()->deleteLater();
}
