#pragma once

#include <QWebEnginePage>

// The portal's page: while nobody sees it (a hidden attempt, the diagnostic tool) its JavaScript
// dialogs are answered at once and logged instead of opening a box that would stall the attempt.
class PortalWebPage final : public QWebEnginePage {
    Q_OBJECT
public:
    explicit PortalWebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    void setShownToUser(bool shown) { m_shownToUser = shown; }
    bool isShownToUser() const { return m_shownToUser; }
    int unseenDialogs() const { return m_unseenDialogs; }

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message, const QString& defaultValue,
                          QString* result) override;

private:
    bool m_shownToUser = false;
    int m_unseenDialogs = 0;
};
