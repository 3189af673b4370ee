#pragma once

#include "support/Logger.h"
#include "wifi/NetworkManagerState.h"

#include <QCoroTask>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>

class QDBusServiceWatcher;

// One copy of what NetworkManager says about the manager, the Wi-Fi devices, their access points and
// active connections, kept current from NetworkManager's change signals, so frequent checks read memory
// instead of asking over the bus. It is read whole when it starts and whenever NetworkManager's name
// gets an owner again; while nobody owns the name it reads as absent. Signals that arrive during a
// whole read are applied after it, in order, so nothing said meanwhile is lost.
// Lives on the thread that creates it and is used from there only (the main thread in the app).
class NetworkManagerCache : public QObject {
    Q_OBJECT
public:
    // How long a reader waits for a read in flight before taking what is there.
    static constexpr std::chrono::milliseconds readyBound{5000};

    explicit NetworkManagerCache(QDBusConnection bus, QObject* parent = nullptr);
    ~NetworkManagerCache() override;

    // The process-wide cache of the system bus (SystemBus::connection()); made on first use, on the
    // main thread.
    static std::shared_ptr<NetworkManagerCache> system();

    const NetworkManagerState& state() const { return m_state; }
    QDBusConnection bus() const { return m_bus; }
    bool isReading() const { return m_reading || m_pendingReads > 0; }

    // Returns once no whole read is in flight (the first, or the one after NetworkManager came back),
    // or after readyBound.
    QCoro::Task<> ready();
    // Returns once everything NetworkManager sent before the call, and the reads it led to, is applied
    // (one round trip to NetworkManager), or after readyBound.
    QCoro::Task<> settled();
    // Waits until the device's LastScan differs from `before` and the reads that follow are done;
    // false when `bound` passes first or the device goes away.
    QCoro::Task<bool> scanFinished(QString devicePath, std::optional<qint64> before, std::chrono::milliseconds bound);

Q_SIGNALS:
    // The state changed (signals applied, a read finished, NetworkManager went away).
    void changed();
    // A whole read finished.
    void readFinished();

private Q_SLOTS:
    void onSignal(const QDBusMessage& message);
    void onOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);

private:
    void subscribe();
    void readAgain();
    QCoro::Task<> readWhole(quint64 generation);
    QCoro::Task<QDBusMessage> call(QString path, QString interface, QString method, QString argument);
    QCoro::Task<> readAccessPoint(quint64 generation, QString devicePath, QString path);
    QCoro::Task<> readActiveConnection(quint64 generation, QString path);
    void finishRead(quint64 generation, NetworkManagerState next, bool retry);
    void markAbsent();
    // Applies one signal; false when it did not touch the state.
    bool apply(const QDBusMessage& message);
    bool applyPropertiesChanged(const QDBusMessage& message);
    void followActiveConnection(const QString& devicePath);
    void finishPendingRead();

    QDBusConnection m_bus;
    NetworkManagerState m_state;
    Logger m_logger{QStringLiteral("WiFiScanner")};
    QDBusServiceWatcher* m_watcher = nullptr;
    quint64 m_generation = 0;
    bool m_reading = false;
    int m_pendingReads = 0;
    QList<QDBusMessage> m_heldSignals; // arrived during a whole read
    bool m_heldOverflow = false;
    QTimer m_retry;
    std::chrono::milliseconds m_retryDelay{1000};
};
