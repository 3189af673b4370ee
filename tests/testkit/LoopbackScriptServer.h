#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include <memory>

// One of the project's loopback servers (tools/...py) run for a test: started on a free port, its
// address read from the "listening on URL" line, stopped with the object.
class LoopbackScriptServer {
public:
    LoopbackScriptServer(const QString& script, const QStringList& arguments);
    ~LoopbackScriptServer();

    bool isRunning() const { return m_base.isValid(); }
    const QString& errorText() const { return m_errorText; }
    QUrl url(const QString& path) const { return m_base.resolved(QUrl(path)); }
    const QUrl& base() const { return m_base; }

    // The body of the answer, or "error" when there was none.
    QByteArray request(const QByteArray& method, const QString& path) const;

private:
    std::unique_ptr<QProcess> m_process;
    QUrl m_base;
    QString m_errorText;
};
