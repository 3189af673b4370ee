#pragma once

#include "portal/helper/PortalHelperProtocol.h"

#include <QLocalSocket>
#include <QObject>
#include <memory>

class PortalAssistantWindow;
class RetrySleeping;

// The helper's side of the conversation with the tray: the assistant window with its page and page
// script, driven by the tray's messages; the page's outcomes, the user's edits and the window's end go
// back. The process ends with the window, when the tray goes away or breaks the protocol.
class PortalHelperSession final : public QObject {
    Q_OBJECT
public:
    explicit PortalHelperSession(QObject* parent = nullptr);
    ~PortalHelperSession() override;

    // Takes the socket on the descriptor and greets the tray.
    bool start(int descriptor);

private:
    void readAvailable();
    void handle(const PortalHelperMessage& message);
    void showContent(const PortalHelperMessage& message);
    void send(const PortalHelperMessage& message);
    void end(int exitCode);

    QLocalSocket m_socket;
    PortalHelperDecoder m_decoder{PortalHelperMessage::Sender::tray};
    std::shared_ptr<RetrySleeping> m_sleeper;
    std::unique_ptr<PortalAssistantWindow> m_window;
    bool m_ending = false;
};
