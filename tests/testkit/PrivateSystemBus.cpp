#include "PrivateSystemBus.h"

#include "support/SystemBus.h"

#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QThread>

PrivateSystemBus::PrivateSystemBus() = default;

PrivateSystemBus::~PrivateSystemBus()
{
    stopMocks();
    if (m_daemon) {
        m_daemon->terminate();
        if (!m_daemon->waitForFinished(3000))
            m_daemon->kill();
        m_daemon->waitForFinished(1000);
    }
    if (!m_address.isEmpty())
        QDBusConnection::disconnectFromBus(QStringLiteral("brewbeacon-system-bus:") + m_address);
}

QString PrivateSystemBus::python()
{
    return QFileInfo::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                  : QStringLiteral("python3");
}

QString PrivateSystemBus::networkManagerTemplate()
{
    QString source = qEnvironmentVariable("BREWBEACON_SOURCE_DIR");
    if (source.isEmpty())
        source = QStringLiteral(BREWBEACON_TESTKIT_SOURCE_DIR);
    return QDir(source).filePath(QStringLiteral("tools/simulated_networkmanager_template.py"));
}

bool PrivateSystemBus::start()
{
    m_daemon = std::make_unique<QProcess>();
    m_daemon->setProgram(QStringLiteral("dbus-daemon"));
    m_daemon->setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                            QStringLiteral("--print-address=1")});
    m_daemon->setStandardErrorFile(QProcess::nullDevice());
    m_daemon->start();
    if (!m_daemon->waitForStarted(5000)) {
        m_errorText = QStringLiteral("dbus-daemon did not start: ") + m_daemon->errorString();
        return false;
    }
    QDeadlineTimer deadline(5000);
    QByteArray output;
    while (!output.contains('\n') && !deadline.hasExpired()) {
        m_daemon->waitForReadyRead(100);
        output += m_daemon->readAllStandardOutput();
    }
    m_address = QString::fromUtf8(output.left(output.indexOf('\n')).trimmed());
    if (m_address.isEmpty()) {
        m_errorText = QStringLiteral("dbus-daemon printed no address");
        return false;
    }
    return true;
}

void PrivateSystemBus::stopMocks()
{
    for (auto it = m_mocks.rbegin(); it != m_mocks.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(3000))
            (*it)->kill();
        (*it)->waitForFinished(1000);
    }
    m_mocks.clear();
}

bool PrivateSystemBus::startMock(const QString& templateNameOrPath, const QString& busName, const QString& parametersJson)
{
    auto mock = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
    mock->setProcessEnvironment(environment);
    QStringList arguments{QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system"),
                          QStringLiteral("--template"), templateNameOrPath};
    if (!parametersJson.isEmpty())
        arguments << QStringLiteral("--parameters") << parametersJson;
    mock->setProgram(python());
    mock->setArguments(arguments);
    mock->setStandardOutputFile(QProcess::nullDevice());
    mock->setStandardErrorFile(qEnvironmentVariableIsSet("BREWBEACON_MOCK_STDERR") ? QString() : QProcess::nullDevice());
    mock->start();
    if (!mock->waitForStarted(5000)) {
        m_errorText = QStringLiteral("dbusmock did not start: ") + mock->errorString();
        return false;
    }
    m_mocks.push_back(std::move(mock));
    return waitForName(busName);
}

QDBusConnection PrivateSystemBus::connection() const { return SystemBus::connectTo(m_address); }

bool PrivateSystemBus::waitForName(const QString& busName)
{
    QDeadlineTimer deadline(15000);
    const QDBusConnection bus = connection();
    while (!deadline.hasExpired()) {
        if (bus.interface() && bus.interface()->isServiceRegistered(busName))
            return true;
        if (m_mocks.back()->state() == QProcess::NotRunning) {
            m_errorText = QStringLiteral("dbusmock exited before owning ") + busName;
            return false;
        }
        QThread::msleep(50);
    }
    m_errorText = QStringLiteral("timed out waiting for ") + busName;
    return false;
}
