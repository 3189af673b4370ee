#pragma once

#include "portal/PortalBrowsing.h"

#include <QPointer>
#include <QTimer>

class QWebEnginePage;
class QWebEngineProfile;

// PortalBrowsing over one Qt WebEngine page (owned elsewhere, usually by its view).
class WebEnginePortalBrowser final : public PortalBrowsing {
    Q_OBJECT
public:
    explicit WebEnginePortalBrowser(QWebEnginePage* page, QObject* parent = nullptr);

    void load(const QUrl& url) override;
    bool isLoading() const override { return m_loading; }
    QUrl url() const override;
    void evaluate(const QString& script, std::function<void(std::optional<QString>)> completion) override;

    // The process's persistent portal profile: cookies and site data survive between portal visits,
    // the HTTP cache is off.
    static QWebEngineProfile* sharedProfile();

private:
    QPointer<QWebEnginePage> m_page;
    QTimer m_loadTimeout;
    bool m_loading = false;
};
