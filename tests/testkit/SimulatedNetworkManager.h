#pragma once

#include "PrivateSystemBus.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariantList>

// A simulated NetworkManager (python3-dbusmock with tools/simulated_networkmanager_template.py) on a
// private bus. Components under test take connection(); programs get address() as
// BREWBEACON_SYSTEM_BUS_ADDRESS.
class SimulatedNetworkManager {
public:
    // Security flag sets an access point can advertise (NM80211ApSecurityFlags).
    static constexpr quint32 pairCCMP = 0x8;
    static constexpr quint32 groupCCMP = 0x80;
    static constexpr quint32 keyPSK = 0x100;
    static constexpr quint32 key8021X = 0x200;
    static constexpr quint32 keySAE = 0x400;
    static constexpr quint32 keyOWE = 0x800;
    static constexpr quint32 keySuiteB192 = 0x2000;

    struct AccessPoint {
        QByteArray ssid;
        QString bssid = QStringLiteral("00:11:22:33:44:55");
        quint32 frequencyMHz = 2437;
        quint32 maxBitrateKbps = 54000;
        quint8 strength = 70;
        bool privacy = false;
        quint32 wpaFlags = 0;
        quint32 rsnFlags = 0;

        static AccessPoint open(QByteArray ssid, quint8 strength = 70);
        static AccessPoint wpa2Personal(QByteArray ssid, quint8 strength = 70);
        static AccessPoint wpa2Enterprise(QByteArray ssid, quint8 strength = 70);
    };

    // Starts the bus and the mock; check isRunning() (errorText() says why not).
    explicit SimulatedNetworkManager(const QString& parametersJson = {});

    bool isRunning() const { return m_running; }
    QString errorText() const { return m_bus.errorText(); }
    const QString& address() const { return m_bus.address(); }
    QDBusConnection connection() const { return m_bus.connection(); }
    PrivateSystemBus& bus() { return m_bus; }

    // NMDeviceState 30 is "disconnected", 100 "activated", 20 "unavailable".
    QString addWiFiDevice(const QString& name = QStringLiteral("wlan0"), const QString& interfaceName = QStringLiteral("wlp2s0"),
                          quint32 state = 30);
    QString addEthernetDevice(const QString& name = QStringLiteral("eth0"), const QString& interfaceName = QStringLiteral("enp3s0"));
    QString addAccessPoint(const QString& device, const AccessPoint& point);
    void removeAccessPoint(const QString& device, const QString& accessPoint);
    // Stops the service and starts a fresh one on the same bus, with nothing in it: the name loses its
    // owner and gets a new one, as when NetworkManager restarts.
    bool restart();
    // Sends a signal from the object as the service, with any signature: for malformed signals.
    void emitSignal(const QString& path, const QString& interface, const QString& name, const QString& signature,
                    const QVariantList& arguments);
    // As if the device had joined this access point before the test.
    void join(const QString& device, const QString& accessPoint);
    void disconnect(const QString& device);
    void setWirelessEnabled(bool enabled);
    // errorText non-empty: RequestScan fails with it. delayMs < 0: the scan never finishes.
    void setScanBehaviour(const QString& device, const QString& errorText, int delayMs);
    // mode: "activate", "error" (D-Bus error with text), "deactivate" (ends with device reason), "hang".
    void setActivationBehaviour(const QString& mode, const QString& text = {}, quint32 reason = 0);
    // GetPermissions' answer; the mock also emits CheckPermissions.
    void setPermissions(const QMap<QString, QString>& permissions);
    void setProperty(const QString& path, const QString& interface, const QString& name, const QVariant& value);
    // Calls of `member` (a method) on the object fail with `errorText`; an empty member makes reading the
    // interface's properties fail. An empty text restores the normal answer.
    void setCallFailure(const QString& path, const QString& interface, const QString& member, const QString& errorText);
    // Argument lists of every call of a method on one object, oldest first.
    QList<QVariantList> methodCalls(const QString& path, const QString& method);

    static QString managerPath() { return QStringLiteral("/org/freedesktop/NetworkManager"); }

private:
    QVariantList callMock(const QString& path, const QString& method, const QVariantList& arguments);

    PrivateSystemBus m_bus;
    bool m_running = false;
    int m_accessPointCount = 0;
};
