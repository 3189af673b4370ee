#pragma once

#include "portal/PortalAssistantWindowing.h"

#include <QPointer>
#include <QWidget>
#include <memory>

#include "portal/web/PortalAssistantView.h"
class RetrySleeping;

// The real assistant window: a top-level widget that can live off screen with its page running.
class PortalAssistantWindow final : public PortalAssistantWindowing {
    Q_OBJECT
public:
    explicit PortalAssistantWindow(std::shared_ptr<RetrySleeping> sleeper, QObject* parent = nullptr);
    ~PortalAssistantWindow() override;

    void setContent(PortalAssistantViewInputs inputs) override;
    void orderOut() override;
    void bringToFront() override;
    void close() override;
    void showHandoffReason(const QString& reason) override;
    QString titleOnScreen() const override;

    QWidget* widget() const { return m_widget; }
    PortalAssistantView* view() const { return m_view; }
    bool isOnScreen() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_widget;
    QPointer<PortalAssistantView> m_view;
    std::shared_ptr<RetrySleeping> m_sleeper;
};
