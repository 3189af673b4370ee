#include "testkit/LoopbackProductService.h"

#include <QJsonDocument>
#include <QUrlQuery>

LoopbackProductService::LoopbackProductService(const QString& updatesDirectory)
    : m_server(QStringLiteral("tools/product-service/product_service.py"),
               updatesDirectory.isEmpty() ? QStringList{} : QStringList{QStringLiteral("--updates"), updatesDirectory})
{
}

bool LoopbackProductService::behave(const QString& path, int status, int times, double delaySeconds, const QString& body)
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("path"), path);
    query.addQueryItem(QStringLiteral("status"), QString::number(status));
    if (times >= 0)
        query.addQueryItem(QStringLiteral("times"), QString::number(times));
    query.addQueryItem(QStringLiteral("delay"), QString::number(delaySeconds));
    query.addQueryItem(QStringLiteral("body"), body);
    return m_server.request("POST", QStringLiteral("/__behave?") + query.toString(QUrl::FullyEncoded)) != "error";
}

QJsonObject LoopbackProductService::state() const
{
    return QJsonDocument::fromJson(m_server.request("GET", QStringLiteral("/__state"))).object();
}
