#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>

// One of the project's helper servers (tools/...py), started for a benchmark run and stopped with it.
// `value()` is what followed `prefix` on its first matching output line (an address), empty if none.
class BenchHelper {
public:
    BenchHelper(const QString& script, const QStringList& arguments, const QByteArray& prefix)
    {
        m_process.setProgram(QStringLiteral("/usr/bin/python3"));
        m_process.setArguments(QStringList{QStringLiteral(BREWBEACON_SOURCE_DIR "/") + script} + arguments);
        m_process.start();
        QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
            m_process.waitForReadyRead(100);
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine().trimmed();
                if (line.startsWith(prefix)) {
                    m_value = QString::fromUtf8(line.mid(prefix.size()));
                    return;
                }
            }
        }
    }
    ~BenchHelper()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    const QString& value() const { return m_value; }

private:
    QProcess m_process;
    QString m_value;
};
