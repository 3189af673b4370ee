#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// A private D-Bus daemon that stands in for the system bus, with python3-dbusmock services on it.
// Everything it starts is stopped when it goes away.
class PrivateSystemBus {
public:
    PrivateSystemBus();
    ~PrivateSystemBus();
    PrivateSystemBus(const PrivateSystemBus&) = delete;
    PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

    // Starts the daemon; false (with errorText) when it cannot.
    bool start();
    // Starts "python3 -m dbusmock --template <template>" on this bus and waits until busName is owned.
    bool startMock(const QString& templateNameOrPath, const QString& busName, const QString& parametersJson = {});
    // Stops every service started on the bus; their names lose their owners.
    void stopMocks();
    const QString& address() const { return m_address; }
    QDBusConnection connection() const;
    const QString& errorText() const { return m_errorText; }

    // The interpreter that has dbusmock (the system one, whatever PATH says).
    static QString python();
    // The project's simulated NetworkManager template.
    static QString networkManagerTemplate();

private:
    bool waitForName(const QString& busName);

    QString m_address;
    QString m_errorText;
    std::unique_ptr<QProcess> m_daemon;
    std::vector<std::unique_ptr<QProcess>> m_mocks;
};
