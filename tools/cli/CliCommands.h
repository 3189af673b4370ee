#pragma once

#include "CliArguments.h"
#include "CliExitCode.h"

#include <QCoroTask>
#include <QJsonObject>
#include <functional>
#include <memory>

class CaptivePortalHandling;
class NetworkPathMonitoring;
class WiFiConnecting;
class WiFiPowerControlling;
class WiFiScanning;

// What one command produced: the exit status, the text for a person and the object for --json.
struct CliReport {
    CliExitCode exitCode = CliExitCode::success;
    QString text;
    QJsonObject json;
};

// The commands of brewbeacon-cli over the same Wi-Fi, path and portal components the app uses.
class CliCommands {
public:
    struct Facility {
        std::shared_ptr<WiFiScanning> scanner;
        std::shared_ptr<WiFiPowerControlling> power;
        std::shared_ptr<NetworkPathMonitoring> path;
        std::shared_ptr<CaptivePortalHandling> portal;
        std::shared_ptr<WiFiConnecting> connector;
    };
    using Progress = std::function<void(const QString&)>;

    // NetworkManager on the system bus (or BREWBEACON_SYSTEM_BUS_ADDRESS) and the configured detection page.
    static Facility installed();

    explicit CliCommands(Facility facility, Progress progress = {});

    QCoro::Task<CliReport> run(CliArguments arguments);

private:
    QCoro::Task<CliReport> scan();
    QCoro::Task<CliReport> status();
    QCoro::Task<CliReport> check();
    QCoro::Task<CliReport> join(QString ssid, bool allowWeakSignal);

    void report(const QString& step) const;

    Facility m_facility;
    Progress m_progress;
};
