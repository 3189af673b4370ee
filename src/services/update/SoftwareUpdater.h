#pragma once

#include "connectivity/NetworkURLSession.h"
#include "connectivity/URLSessionProtocol.h"
#include "services/SoftwareUpdaterFramework.h"
#include "services/update/UpdateDownloader.h"
#include "services/update/UpdateInstalling.h"
#include "services/update/UpdateSignatureVerifier.h"
#include "services/update/UpdateTransportPolicy.h"
#include "services/update/UpdateUserDriving.h"
#include "support/Logger.h"

#include <QCoroTask>
#include <QSettings>
#include <QTimer>

#include <chrono>
#include <memory>

// Our update framework: reads the appcast (https only, size-capped), picks the newest applicable
// release, downloads it with progress, refuses it unless its ed25519 signature over the offered version,
// the length and the bytes matches the key built into the app and the version is newer than the running
// one, installs it in one switch and offers to relaunch. Background checks run on a schedule while
// automatic checks are on; with automatic downloads on they also install, and the new version starts at
// the next launch. Hashing and unpacking run off the main thread.
class SoftwareUpdater : public SoftwareUpdaterFramework {
    Q_OBJECT

public:
    struct Configuration {
        QUrl feedURL;
        QString currentVersion; // the running build number
        QString systemVersion;
        std::shared_ptr<QSettings> defaults;
        // Empty: a session of the updater's own, bounded in size and time (feedSessionConfiguration).
        std::shared_ptr<URLSessionProtocol> session;
        UpdateTransportPolicy transport;
        UpdateSignatureVerifier verifier{QString()};
        std::shared_ptr<UpdateInstalling> installer;
        std::shared_ptr<UpdateUserDriving> userDriver;
        QString downloadDirectory;
        std::chrono::seconds checkInterval{std::chrono::hours(24)};
        // Ends the process once the installed version has been started.
        std::function<void()> terminate;
    };

    SoftwareUpdater(Configuration configuration, SoftwareUpdaterDelegate& delegate, QObject* parent = nullptr);

    static QString lastCheckKey() { return QStringLiteral("SULastCheckTime"); }
    static NetworkURLSessionConfiguration feedSessionConfiguration();

    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool enabled) override;
    bool automaticallyDownloadsUpdates() const override;
    void setAutomaticallyDownloadsUpdates(bool enabled) override;
    bool canCheckForUpdates() const override { return !m_cycleRunning; }
    bool updatesManagedBySystem() const override;

    void start() override;
    void checkForUpdates() override;
    void resetUpdateCycle() override;

    // One whole cycle; resolves when it has ended (tests await it).
    QCoro::Task<std::optional<UpdateError>> runUpdateCycle(bool userInitiated);

private:
    QCoro::Task<std::optional<UpdateError>> cycle(bool userInitiated);
    void scheduleNextCheck();
    void setCycleRunning(bool running);

    Configuration m_configuration;
    SoftwareUpdaterDelegate& m_delegate;
    UpdateDownloader m_downloader;
    QTimer m_schedule;
    bool m_cycleRunning = false;
    QString m_installedVersion; // installed by this process, which still runs the older one
    Logger m_logger{QStringLiteral("SoftwareUpdate")};
};
