#pragma once

#include "portal/PortalAssistantWindowing.h"
#include "portal/helper/PortalHelperFailure.h"
#include "portal/helper/PortalHelperMessage.h"

#include <functional>
#include <memory>
#include <optional>

class PortalHelperConnection;

// The assistant window as the tray drives it: the window itself, its page and the page script live in
// a portal helper process, started when there is content to show and ended with the window. The hooks
// of the content stay here; what the helper reports is checked before it reaches them. When the helper
// fails, engineFailed follows and the window holds nothing until it is brought to front (a fresh helper
// then gets the content again) or closed. Main thread only.
class PortalHelperWindow final : public PortalAssistantWindowing {
    Q_OBJECT
public:
    using ConnectionFactory = std::function<std::unique_ptr<PortalHelperConnection>()>;

    explicit PortalHelperWindow(ConnectionFactory makeConnection, QObject* parent = nullptr);
    ~PortalHelperWindow() override;

    void setContent(PortalAssistantViewInputs inputs) override;
    void orderOut() override;
    void bringToFront() override;
    void close() override;
    void showHandoffReason(const QString& reason) override;
    QString titleOnScreen() const override { return m_titleOnScreen; }

    // The running helper's process id; 0 when there is none.
    qint64 helperProcessId() const;

private:
    bool ensureHelper();
    void send(const PortalHelperMessage& message);
    void received(const PortalHelperMessage& message);
    void helperFailed(const PortalHelperFailure& failure);
    void dropHelper();
    PortalHelperMessage contentMessage() const;

    ConnectionFactory m_makeConnection;
    std::unique_ptr<PortalHelperConnection> m_helper;
    PortalAssistantViewInputs m_inputs;
    bool m_hasContent = false;
    std::optional<QString> m_handoffReason;
    QString m_titleOnScreen;
    bool m_closing = false;
};
