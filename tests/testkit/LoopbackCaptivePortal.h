#pragma once

#include "testkit/LoopbackScriptServer.h"

#include <QJsonObject>

// The stateful loopback captive portal (tools/captive-portal) with its page corpus.
class LoopbackCaptivePortal {
public:
    explicit LoopbackCaptivePortal(const QString& startPage = QStringLiteral("simple-en"));

    bool isRunning() const { return m_server.isRunning(); }
    const QString& errorText() const { return m_server.errorText(); }

    QUrl url(const QString& path) const { return m_server.url(path); }
    QUrl detectionURL() const { return url(QStringLiteral("/hotspot-detect.html")); }
    QUrl pageURL(const QString& page) const { return url(QStringLiteral("/portal/") + page); }

    // Back to captive with no submissions, starting at the given page.
    bool reset(const QString& page);
    // What the portal saw: "captive", "page", "submissions" (page, fields, accepted), "requests".
    QJsonObject state() const;

private:
    LoopbackScriptServer m_server;
};
