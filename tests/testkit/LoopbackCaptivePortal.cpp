#include "testkit/LoopbackCaptivePortal.h"

#include <QJsonDocument>

LoopbackCaptivePortal::LoopbackCaptivePortal(const QString& startPage)
    : m_server(QStringLiteral("tools/captive-portal/captive_portal.py"), {QStringLiteral("--page"), startPage})
{
}

bool LoopbackCaptivePortal::reset(const QString& page)
{
    return m_server.request("POST", QStringLiteral("/__reset?page=") + page) != "error";
}

QJsonObject LoopbackCaptivePortal::state() const
{
    return QJsonDocument::fromJson(m_server.request("GET", QStringLiteral("/__state"))).object();
}
