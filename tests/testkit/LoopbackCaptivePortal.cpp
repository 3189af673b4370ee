#include "testkit/LoopbackCaptivePortal.h"

#include "testkit/PrivateSystemBus.h"

#include <QCoroNetworkReply>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>

LoopbackCaptivePortal::LoopbackCaptivePortal(const QString& startPage) : m_process(std::make_unique<QProcess>())
{
    const QString source = qEnvironmentVariable("BREWBEACON_SOURCE_DIR");
    m_process->setProgram(PrivateSystemBus::python());
    m_process->setArguments({source + QStringLiteral("/tools/captive-portal/captive_portal.py"), QStringLiteral("--port"),
                             QStringLiteral("0"), QStringLiteral("--page"), startPage});
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start();
    QDeadlineTimer deadline(10000);
    while (!m_process->canReadLine() && m_process->state() != QProcess::NotRunning && !deadline.hasExpired())
        m_process->waitForReadyRead(100);
    const QString line = QString::fromUtf8(m_process->readLine()).trimmed();
    const QString prefix = QStringLiteral("listening on ");
    if (!line.startsWith(prefix)) {
        m_errorText = QStringLiteral("captive portal did not start: ") + line;
        return;
    }
    m_base = QUrl(line.mid(prefix.size()));
}

LoopbackCaptivePortal::~LoopbackCaptivePortal()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(3000))
            m_process->kill();
        m_process->waitForFinished();
    }
}

QByteArray LoopbackCaptivePortal::request(const QByteArray& method, const QString& path) const
{
    QNetworkAccessManager network;
    QNetworkRequest request(url(path));
    QNetworkReply* reply = network.sendCustomRequest(request, method);
    QCoro::waitFor(qCoro(reply).waitForFinished());
    const QByteArray body = reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray("error");
    reply->deleteLater();
    return body;
}

bool LoopbackCaptivePortal::reset(const QString& page)
{
    return request("POST", QStringLiteral("/__reset?page=") + page) != "error";
}

QJsonObject LoopbackCaptivePortal::state() const
{
    return QJsonDocument::fromJson(request("GET", QStringLiteral("/__state"))).object();
}
