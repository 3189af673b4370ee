#include "services/SoftwareUpdateService.h"

#include "services/SoftwareUpdateDefaults.h"
#include "state/AppLifecycleController.h"

#include <QCoroSignal>
#include <QPointer>

using namespace Qt::StringLiterals;

SoftwareUpdateService::SoftwareUpdateService(std::unique_ptr<SoftwareUpdateFeedPreflighting> feedPreflight,
                                             std::shared_ptr<QSettings> defaults, const UpdaterFactory& makeUpdater,
                                             Activation activateApplication, QObject* parent)
    : QObject(parent),
      m_feedPreflight(std::move(feedPreflight)),
      m_defaults(std::move(defaults)),
      m_activateApplication(std::move(activateApplication))
{
    // The framework reads the switches when it starts, so the migration runs first.
    SoftwareUpdateDefaults::applyAutomaticUpdateDefaultsIfNeeded(*m_defaults);
    m_updater = makeUpdater(*this);
    for (auto signal : {&SoftwareUpdaterFramework::automaticallyChecksForUpdatesChanged,
                        &SoftwareUpdaterFramework::automaticallyDownloadsUpdatesChanged,
                        &SoftwareUpdaterFramework::canCheckForUpdatesChanged})
        QObject::connect(m_updater.get(), signal, this, &SoftwareUpdateService::mirrorUpdater);
    m_updater->start();
    mirrorUpdater();
}

SoftwareUpdateService::~SoftwareUpdateService() = default;

QString SoftwareUpdateService::busyMessage() { return u"BrewBeacon is already checking for updates. Try again in a moment."_s; }
QString SoftwareUpdateService::checkingMessage() { return u"Checking the update feed..."_s; }
QString SoftwareUpdateService::cycleFailedMessage()
{
    return u"The last update check could not finish. Check your internet connection and try again."_s;
}

QString SoftwareUpdateService::packageManagerMessage(const QLocale& locale)
{
    if (locale.language() == QLocale::Vietnamese)
        return u"BrewBeacon được cài bằng trình quản lý gói của hệ thống; các bản cập nhật cũng đến từ đó."_s;
    return u"BrewBeacon was installed by your system's package manager; updates come from there too."_s;
}

void SoftwareUpdateService::mirrorUpdater()
{
    const bool managed = m_updater->updatesManagedBySystem();
    if (std::exchange(m_updatesManagedBySystem, managed) != managed)
        Q_EMIT updatesManagedBySystemChanged();
    // A switch that can do nothing shows as off.
    const bool checks = m_updater->automaticallyChecksForUpdates() && !managed;
    if (std::exchange(m_automaticallyChecksForUpdates, checks) != checks)
        Q_EMIT automaticallyChecksForUpdatesChanged();
    if (std::exchange(m_automaticallyDownloadsUpdates, m_updater->automaticallyDownloadsUpdates() && !managed) != m_automaticallyDownloadsUpdates)
        Q_EMIT automaticallyDownloadsUpdatesChanged();
    if (std::exchange(m_canCheckForUpdates, m_updater->canCheckForUpdates()) != m_canCheckForUpdates)
        Q_EMIT canCheckForUpdatesChanged();
}

void SoftwareUpdateService::setAutomaticallyChecksForUpdates(bool enabled)
{
    if (m_updatesManagedBySystem) {
        mirrorUpdater();
        return;
    }
    m_updater->setAutomaticallyChecksForUpdates(enabled);
    m_updater->setAutomaticallyDownloadsUpdates(enabled);
    mirrorUpdater();
    m_updater->resetUpdateCycle();
}

void SoftwareUpdateService::checkForUpdates()
{
    if (m_isCheckingForUpdates)
        return;
    if (m_updatesManagedBySystem) {
        setUpdateStatusMessage(packageManagerMessage(QLocale()));
        return;
    }
    if (!m_updater->canCheckForUpdates()) {
        setUpdateStatusMessage(busyMessage());
        return;
    }
    setIsCheckingForUpdates(true);
    setUpdateStatusMessage(checkingMessage());
    runPreflightThenCheck();
}

QCoro::Task<> SoftwareUpdateService::runPreflightThenCheck()
{
    QPointer<SoftwareUpdateService> self(this);
    const SoftwareUpdateFeedPreflightResult result = co_await m_feedPreflight->checkFeed();
    if (!self)
        co_return;
    setIsCheckingForUpdates(false);
    if (!result.isAvailable())
        setUpdateStatusMessage(result.message);
    else {
        setUpdateStatusMessage(std::nullopt);
        m_updater->checkForUpdates();
    }
    Q_EMIT preflightDidFinish();
}

QCoro::Task<> SoftwareUpdateService::preflightFinished()
{
    if (m_isCheckingForUpdates)
        co_await qCoro(this, &SoftwareUpdateService::preflightDidFinish);
}

void SoftwareUpdateService::setIsCheckingForUpdates(bool value)
{
    if (std::exchange(m_isCheckingForUpdates, value) != value)
        Q_EMIT isCheckingForUpdatesChanged();
}

void SoftwareUpdateService::setUpdateStatusMessage(const std::optional<QString>& message)
{
    if (m_updateStatusMessage == message)
        return;
    m_updateStatusMessage = message;
    Q_EMIT updateStatusMessageChanged();
}

void SoftwareUpdateService::willScheduleUpdateCheck(std::chrono::seconds delay)
{
    // The desktop shows notifications without asking; there is no permission to request here.
    m_logger.debug("Update check scheduled in %{public}lld s", static_cast<long long>(delay.count()));
}

bool SoftwareUpdateService::shouldRelaunchApplication()
{
    AppLifecycleController::shared().softwareUpdateRelaunchRequested = true;
    return true;
}

void SoftwareUpdateService::willRelaunchApplication()
{
    AppLifecycleController::shared().softwareUpdateRelaunchRequested = true;
}

void SoftwareUpdateService::didFinishUpdateCycle(const std::optional<UpdateError>& error)
{
    if (!error) {
        setUpdateStatusMessage(std::nullopt);
        return;
    }
    m_logger.error("Update check failed: %{public}s %{public}ld %{public}s", UpdateError::domain(), error->code(),
                   error->description);
    setUpdateStatusMessage(cycleFailedMessage());
}

void SoftwareUpdateService::willShowUpdate()
{
    if (m_activateApplication)
        m_activateApplication();
}
