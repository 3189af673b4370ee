#include "testkit/LoopbackScriptServer.h"

#include "testkit/PrivateSystemBus.h"

#include <QCoroNetworkReply>
#include <QDeadlineTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>

LoopbackScriptServer::LoopbackScriptServer(const QString& script, const QStringList& arguments)
    : m_process(std::make_unique<QProcess>())
{
    const QString source = qEnvironmentVariable("BREWBEACON_SOURCE_DIR");
    m_process->setProgram(PrivateSystemBus::python());
    m_process->setArguments(QStringList{source + QStringLiteral("/") + script, QStringLiteral("--port"), QStringLiteral("0")} +
                            arguments);
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start();
    QDeadlineTimer deadline(10000);
    while (!m_process->canReadLine() && m_process->state() != QProcess::NotRunning && !deadline.hasExpired())
        m_process->waitForReadyRead(100);
    const QString line = QString::fromUtf8(m_process->readLine()).trimmed();
    const QString prefix = QStringLiteral("listening on ");
    if (!line.startsWith(prefix)) {
        m_errorText = script + QStringLiteral(" did not start: ") + line;
        return;
    }
    m_base = QUrl(line.mid(prefix.size()));
}

LoopbackScriptServer::~LoopbackScriptServer()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(3000))
            m_process->kill();
        m_process->waitForFinished();
    }
}

QByteArray LoopbackScriptServer::request(const QByteArray& method, const QString& path) const
{
    QNetworkAccessManager network;
    QNetworkRequest request(url(path));
    QNetworkReply* reply = network.sendCustomRequest(request, method);
    QCoro::waitFor(qCoro(reply).waitForFinished());
    const QByteArray body = reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray("error");
    reply->deleteLater();
    return body;
}
