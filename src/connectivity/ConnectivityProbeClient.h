#pragma once

#include "connectivity/URLSessionProtocol.h"
#include "wifi/PortalState.h"

#include <QString>
#include <QUrl>
#include <memory>

// Fetches the detection page once and reads the answer as a portal state: `online` only for a 2xx
// whose UTF-8 body holds the success marker; `suspected` for a foreign host, a redirect or a page
// without the marker; `unavailable` for everything else. Never fails.
class ConnectivityProbeClient {
public:
    ConnectivityProbeClient(std::shared_ptr<URLSessionProtocol> session, QUrl probeURL,
                            QString successMarker = defaultSuccessMarker());

    // The probe with its own session and the configured detection page.
    static ConnectivityProbeClient installed();
    static QString defaultSuccessMarker() { return QStringLiteral("Success"); }

    QCoro::Task<PortalState> probe() const;

    const QUrl& probeURL() const { return m_probeURL; }
    const QString& successMarker() const { return m_successMarker; }

    static constexpr std::chrono::milliseconds requestTimeout{5000};

private:
    std::shared_ptr<URLSessionProtocol> m_session;
    QUrl m_probeURL;
    QString m_successMarker;
};
