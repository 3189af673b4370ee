#include "portal/web/helper/PortalHelperSession.h"

#include "portal/web/PortalAssistantWindow.h"
#include "support/LoadedLibraries.h"
#include "support/Logger.h"
#include "wifi/TaskRetrySleeper.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;
using Type = PortalHelperMessage::Type;

namespace {

const Logger& logger()
{
    static const Logger instance(u"PortalHelper"_s);
    return instance;
}

constexpr qint64 readChunk = 16 * 1024;

} // namespace

PortalHelperSession::PortalHelperSession(QObject* parent)
    : QObject(parent), m_sleeper(std::make_shared<TaskRetrySleeper>())
{
}

PortalHelperSession::~PortalHelperSession()
{
    if (m_window)
        m_window->disconnect(this);
}

bool PortalHelperSession::start(int descriptor)
{
    if (!m_socket.setSocketDescriptor(descriptor))
        return false;
    connect(&m_socket, &QLocalSocket::readyRead, this, &PortalHelperSession::readAvailable);
    connect(&m_socket, &QLocalSocket::disconnected, this, [this] { end(0); });
    PortalHelperMessage hello = PortalHelperMessage::ofType(Type::hello);
    hello.version = PortalHelperProtocol::version;
    send(hello);
    // Bytes that came with the descriptor are not announced again.
    if (m_socket.bytesAvailable() > 0)
        readAvailable();
    return true;
}

void PortalHelperSession::readAvailable()
{
    while (!m_ending && m_socket.bytesAvailable() > 0) {
        m_decoder.append(m_socket.read(readChunk));
        while (const std::optional<PortalHelperMessage> message = m_decoder.next()) {
            handle(*message);
            if (m_ending)
                return;
        }
        if (const auto& error = m_decoder.error()) {
            logger().error("Portal helper ends: the tray broke the protocol: %{public}s",
                           PortalHelperProtocol::errorName(*error));
            end(2);
            return;
        }
    }
}

void PortalHelperSession::handle(const PortalHelperMessage& message)
{
    switch (message.type) {
    case Type::hello:
        return;
    case Type::content:
        showContent(message);
        return;
    case Type::orderOut:
        if (m_window)
            m_window->orderOut();
        return;
    case Type::bringToFront:
        if (!m_window)
            return;
        m_window->bringToFront();
        // The packaging check wants the libraries the shown window needed.
        if (const QString file = qEnvironmentVariable("BREWBEACON_SELF_TEST_LIBRARIES"); !file.isEmpty())
            appendLoadedLibraries(file);
        {
            PortalHelperMessage shown = PortalHelperMessage::ofType(Type::shown);
            shown.text = m_window->titleOnScreen();
            send(shown);
        }
        return;
    case Type::handoffReason:
        if (m_window)
            m_window->showHandoffReason(message.text);
        return;
    case Type::close:
        if (m_window) {
            m_window->close();
            return;
        }
        send(PortalHelperMessage::ofType(Type::closed));
        end(0);
        return;
    case Type::ping: {
        PortalHelperMessage pong = PortalHelperMessage::ofType(Type::pong);
        pong.sequence = message.sequence;
        send(pong);
        return;
    }
    default:
        return;
    }
}

void PortalHelperSession::showContent(const PortalHelperMessage& message)
{
    if (!m_window) {
        m_window = std::make_unique<PortalAssistantWindow>(m_sleeper);
        connect(m_window.get(), &PortalAssistantWindowing::willClose, this, [this] {
            send(PortalHelperMessage::ofType(Type::closed));
            end(0);
        });
    }
    PortalAssistantViewInputs inputs;
    inputs.url = message.url;
    inputs.initialProfile = message.profile;
    inputs.locale = QLocale(message.language);
    inputs.onSave = [this](const PortalAutofillProfile& profile) {
        PortalHelperMessage save = PortalHelperMessage::ofType(Type::save);
        save.profile = profile;
        send(save);
    };
    inputs.onOpenInBrowser = [this] { send(PortalHelperMessage::ofType(Type::openInBrowser)); };
    inputs.onEvent = [this](const PortalAutofillEvent& event) {
        PortalHelperMessage outcome = PortalHelperMessage::ofType(Type::event);
        outcome.event = event;
        send(outcome);
    };
    m_window->setContent(std::move(inputs));
}

void PortalHelperSession::send(const PortalHelperMessage& message)
{
    if (m_socket.state() == QLocalSocket::ConnectedState)
        m_socket.write(PortalHelperProtocol::frame(message));
}

void PortalHelperSession::end(int exitCode)
{
    if (m_ending)
        return;
    m_ending = true;
    if (m_socket.state() == QLocalSocket::ConnectedState) {
        m_socket.flush();
        m_socket.waitForBytesWritten(1000);
    }
    QCoreApplication::exit(exitCode);
}
