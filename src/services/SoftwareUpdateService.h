#pragma once

#include "services/SoftwareUpdateFeedPreflighting.h"
#include "services/SoftwareUpdaterFramework.h"
#include "support/Logger.h"

#include <QCoroTask>
#include <QLocale>
#include <QObject>
#include <QSettings>

#include <functional>
#include <memory>
#include <optional>

// The settings window's view of software update: the one automatic-updates switch, the user-initiated
// check (preceded by a plain fetch of the feed that turns an unreachable or malformed feed into a clear
// message) and the last message worth showing. The framework's own state is mirrored as it changes.
class SoftwareUpdateService : public QObject, private SoftwareUpdaterDelegate {
    Q_OBJECT
    Q_PROPERTY(bool automaticallyChecksForUpdates READ automaticallyChecksForUpdates NOTIFY automaticallyChecksForUpdatesChanged)
    Q_PROPERTY(bool automaticallyDownloadsUpdates READ automaticallyDownloadsUpdates NOTIFY automaticallyDownloadsUpdatesChanged)
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)
    Q_PROPERTY(bool isCheckingForUpdates READ isCheckingForUpdates NOTIFY isCheckingForUpdatesChanged)
    Q_PROPERTY(QString updateStatusMessage READ updateStatusMessageText NOTIFY updateStatusMessageChanged)
    // The installation belongs to the system's package manager: no switch or check can update it.
    Q_PROPERTY(bool updatesManagedBySystem READ updatesManagedBySystem NOTIFY updatesManagedBySystemChanged)

public:
    // Builds the framework's updater once the stored defaults are migrated; the service is its delegate.
    using UpdaterFactory = std::function<std::unique_ptr<SoftwareUpdaterFramework>(SoftwareUpdaterDelegate&)>;
    // What the framework's user-interface callbacks do to the application (bring it forward).
    using Activation = std::function<void()>;

    SoftwareUpdateService(std::unique_ptr<SoftwareUpdateFeedPreflighting> feedPreflight, std::shared_ptr<QSettings> defaults,
                          const UpdaterFactory& makeUpdater, Activation activateApplication = {}, QObject* parent = nullptr);
    ~SoftwareUpdateService() override;

    static QString busyMessage();
    static QString checkingMessage();
    static QString cycleFailedMessage();
    // What the settings window says instead of offering updates, in the locale's language
    // (English or Vietnamese).
    static QString packageManagerMessage(const QLocale& locale);

    bool automaticallyChecksForUpdates() const { return m_automaticallyChecksForUpdates; }
    bool automaticallyDownloadsUpdates() const { return m_automaticallyDownloadsUpdates; }
    bool canCheckForUpdates() const { return m_canCheckForUpdates; }
    bool isCheckingForUpdates() const { return m_isCheckingForUpdates; }
    bool updatesManagedBySystem() const { return m_updatesManagedBySystem; }
    const std::optional<QString>& updateStatusMessage() const { return m_updateStatusMessage; }
    QString updateStatusMessageText() const { return m_updateStatusMessage.value_or(QString()); }

    Q_INVOKABLE void setAutomaticallyChecksForUpdates(bool enabled);
    Q_INVOKABLE void checkForUpdates();
    // Resolves when the running user-initiated preflight (if any) has finished; for tests.
    QCoro::Task<> preflightFinished();

Q_SIGNALS:
    void automaticallyChecksForUpdatesChanged();
    void automaticallyDownloadsUpdatesChanged();
    void canCheckForUpdatesChanged();
    void isCheckingForUpdatesChanged();
    void updateStatusMessageChanged();
    void updatesManagedBySystemChanged();
    void preflightDidFinish();

private:
    QCoro::Task<> runPreflightThenCheck();
    void mirrorUpdater();
    void setIsCheckingForUpdates(bool value);
    void setUpdateStatusMessage(const std::optional<QString>& message);

    // SoftwareUpdaterDelegate
    void willScheduleUpdateCheck(std::chrono::seconds delay) override;
    bool shouldRelaunchApplication() override;
    void willRelaunchApplication() override;
    void didFinishUpdateCycle(const std::optional<UpdateError>& error) override;
    void willShowUpdate() override;

    std::unique_ptr<SoftwareUpdateFeedPreflighting> m_feedPreflight;
    std::shared_ptr<QSettings> m_defaults;
    Activation m_activateApplication;
    std::unique_ptr<SoftwareUpdaterFramework> m_updater;
    bool m_automaticallyChecksForUpdates = true;
    bool m_automaticallyDownloadsUpdates = true;
    bool m_canCheckForUpdates = false;
    bool m_isCheckingForUpdates = false;
    bool m_updatesManagedBySystem = false;
    std::optional<QString> m_updateStatusMessage;
    Logger m_logger{QStringLiteral("SoftwareUpdate")};
};
