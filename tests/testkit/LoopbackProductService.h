#pragma once

#include "testkit/LoopbackScriptServer.h"

#include <QJsonObject>

// The loopback product web service (tools/product-service): records analytics batches and reports,
// serves the appcast and update files of a folder, and answers as told.
class LoopbackProductService {
public:
    explicit LoopbackProductService(const QString& updatesDirectory = {});

    bool isRunning() const { return m_server.isRunning(); }
    const QString& errorText() const { return m_server.errorText(); }
    const QUrl& base() const { return m_server.base(); }
    QUrl url(const QString& path) const { return m_server.url(path); }

    // The next `times` requests to `path` (every one when negative) answer `status` after `delaySeconds`.
    bool behave(const QString& path, int status, int times = -1, double delaySeconds = 0, const QString& body = {});
    // "analytics" (the batches as posted), "feedback" (userAgent, report), "requests".
    QJsonObject state() const;

private:
    LoopbackScriptServer m_server;
};
