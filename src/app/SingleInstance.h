#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

// One BrewBeacon per user session. The first start owns a well-known name on the session bus and
// answers org.freedesktop.Application.Activate there; a later start (launcher, terminal, autostart)
// asks it to come forward and ends. Without a session bus every start runs on its own.
class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    enum class Role { primary, secondary, unavailable };

    static QString defaultServiceName() { return QStringLiteral("com.tolvek.brewbeacon"); }

    explicit SingleInstance(QDBusConnection bus, QString serviceName = defaultServiceName(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Tries to own the name: primary when this process got it, secondary when another one has it.
    Role claim();
    Role role() const { return m_role; }
    // From a secondary: asks the running one to come forward; false when it did not answer.
    bool activateRunning(const QVariantMap& platformData = startupPlatformData()) const;

    // The launcher's startup notification tokens of this start, handed on so the desktop lets the
    // running one take the focus.
    static QVariantMap startupPlatformData();

    // org.freedesktop.Application, called by a second start or by the desktop.
    Q_SCRIPTABLE void Activate(const QVariantMap& platformData);
    Q_SCRIPTABLE void Open(const QStringList& uris, const QVariantMap& platformData);
    Q_SCRIPTABLE void ActivateAction(const QString& actionName, const QVariantList& parameter,
                                     const QVariantMap& platformData);

    QString objectPath() const;

Q_SIGNALS:
    // The running app should bring its main window forward.
    void activationRequested();

private:
    QDBusConnection m_bus;
    QString m_serviceName;
    Role m_role = Role::unavailable;
    bool m_objectRegistered = false;
};
