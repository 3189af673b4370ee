#pragma once

#include "portal/PortalAssistantWindowing.h"
#include "portal/PortalWebView.h"

#include <QLocale>
#include <QWidget>
#include <memory>

class PortalBrowserPane;
class QLabel;
class QLineEdit;
class RetrySleeping;

// The window's content: header with the portal address and "Open in Browser", the sidebar with the
// editable details and the status of the last pass, and the browser pane.
class PortalAssistantView final : public QWidget {
    Q_OBJECT
public:
    PortalAssistantView(PortalAssistantViewInputs inputs, std::shared_ptr<RetrySleeping> sleeper, QWidget* parent = nullptr);
    ~PortalAssistantView() override;

    PortalBrowserPane* browserPane() const { return m_pane; }
    // The status card says why the portal was handed over until the next script outcome.
    void showHandoffReason(const QString& reason);
    QString statusDetail() const;

private:
    void profileEdited();
    void fillAgain();
    void openInBrowser();
    void eventArrived(const PortalAutofillEvent& event);
    PortalWebView webView() const;
    void refreshStatus();

    PortalAssistantViewInputs m_inputs;
    PortalAutofillProfile m_profile;
    PortalAutofillEvent m_event = PortalAutofillEvent::idle();
    QLocale m_locale;
    QLineEdit* m_fullName = nullptr;
    QLineEdit* m_birthYear = nullptr;
    QLabel* m_statusSymbol = nullptr;
    QLabel* m_statusTitle = nullptr;
    QLabel* m_statusDetail = nullptr;
    PortalBrowserPane* m_pane = nullptr;
    bool m_tearingDown = false;
};
