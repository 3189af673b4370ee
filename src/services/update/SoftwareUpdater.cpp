#include "services/update/SoftwareUpdater.h"

#include "services/SoftwareUpdateDefaults.h"
#include "services/update/AppcastReader.h"
#include "services/update/AppcastSelection.h"
#include "services/update/BackgroundWork.h"
#include "services/update/UpdateVersion.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QPointer>

using namespace Qt::StringLiterals;

SoftwareUpdater::SoftwareUpdater(Configuration configuration, SoftwareUpdaterDelegate& delegate, QObject* parent)
    : SoftwareUpdaterFramework(parent),
      m_configuration(std::move(configuration)),
      m_delegate(delegate),
      m_downloader(m_configuration.downloadDirectory)
{
    if (!m_configuration.session)
        m_configuration.session = std::make_shared<NetworkURLSession>(feedSessionConfiguration());
    m_schedule.setSingleShot(true);
    QObject::connect(&m_schedule, &QTimer::timeout, this, [this] { runUpdateCycle(false); });
}

NetworkURLSessionConfiguration SoftwareUpdater::feedSessionConfiguration()
{
    NetworkURLSessionConfiguration configuration;
    configuration.requestTimeout = std::chrono::seconds(20);
    configuration.resourceTimeout = std::chrono::seconds(60);
    configuration.maxBodyBytes = AppcastReader::maximumFeedBytes;
    return configuration;
}

bool SoftwareUpdater::updatesManagedBySystem() const
{
    return m_configuration.installer && m_configuration.installer->isManagedByPackageManager();
}

bool SoftwareUpdater::automaticallyChecksForUpdates() const
{
    return m_configuration.defaults->value(SoftwareUpdateDefaults::automaticChecksKey, false).toBool();
}

void SoftwareUpdater::setAutomaticallyChecksForUpdates(bool enabled)
{
    if (enabled == automaticallyChecksForUpdates())
        return;
    m_configuration.defaults->setValue(SoftwareUpdateDefaults::automaticChecksKey, enabled);
    Q_EMIT automaticallyChecksForUpdatesChanged();
}

bool SoftwareUpdater::automaticallyDownloadsUpdates() const
{
    return m_configuration.defaults->value(SoftwareUpdateDefaults::automaticallyUpdateKey, false).toBool();
}

void SoftwareUpdater::setAutomaticallyDownloadsUpdates(bool enabled)
{
    if (enabled == automaticallyDownloadsUpdates())
        return;
    m_configuration.defaults->setValue(SoftwareUpdateDefaults::automaticallyUpdateKey, enabled);
    Q_EMIT automaticallyDownloadsUpdatesChanged();
}

void SoftwareUpdater::start()
{
    // Starting is the sign that the installed program runs: the tree it replaced can go.
    if (m_configuration.installer && !updatesManagedBySystem())
        m_configuration.installer->finishInstallation();
    scheduleNextCheck();
}

void SoftwareUpdater::resetUpdateCycle()
{
    scheduleNextCheck();
}

void SoftwareUpdater::checkForUpdates()
{
    runUpdateCycle(true);
}

void SoftwareUpdater::scheduleNextCheck()
{
    m_schedule.stop();
    if (!automaticallyChecksForUpdates() || updatesManagedBySystem())
        return;
    // Counted from the last check, so restarting the app every hour does not check every hour.
    const QDateTime last = m_configuration.defaults->value(lastCheckKey()).toDateTime();
    const qint64 elapsed = last.isValid() ? last.secsTo(QDateTime::currentDateTimeUtc()) : m_configuration.checkInterval.count();
    const auto delay = std::chrono::seconds(std::clamp<qint64>(m_configuration.checkInterval.count() - elapsed, 60,
                                                               m_configuration.checkInterval.count()));
    m_delegate.willScheduleUpdateCheck(delay);
    m_schedule.start(std::chrono::duration_cast<std::chrono::milliseconds>(delay));
}

void SoftwareUpdater::setCycleRunning(bool running)
{
    if (std::exchange(m_cycleRunning, running) != running)
        Q_EMIT canCheckForUpdatesChanged();
}

QCoro::Task<std::optional<UpdateError>> SoftwareUpdater::runUpdateCycle(bool userInitiated)
{
    if (m_cycleRunning)
        co_return std::nullopt;
    setCycleRunning(true);
    QPointer<SoftwareUpdater> self(this);
    const std::optional<UpdateError> error = co_await cycle(userInitiated);
    if (!self)
        co_return error;
    m_configuration.defaults->setValue(lastCheckKey(), QDateTime::currentDateTimeUtc());
    setCycleRunning(false);
    if (error && userInitiated && m_configuration.userDriver)
        m_configuration.userDriver->showError(*error);
    m_delegate.didFinishUpdateCycle(error);
    scheduleNextCheck();
    co_return error;
}

QCoro::Task<std::optional<UpdateError>> SoftwareUpdater::cycle(bool userInitiated)
{
    QPointer<SoftwareUpdater> self(this);
    // Kept alive here: the cycle may outlive a change of configuration.
    const std::shared_ptr<UpdateUserDriving> driverOwner = userInitiated ? m_configuration.userDriver : nullptr;
    UpdateUserDriving* driver = driverOwner.get();
    if (driver) {
        m_delegate.willShowUpdate();
        driver->showChecking();
    }
    if (updatesManagedBySystem())
        co_return UpdateError::managedByPackageManager(QCoreApplication::applicationDirPath());
    if (!m_configuration.transport.permits(m_configuration.feedURL))
        co_return UpdateError::insecureURL(m_configuration.feedURL);
    HTTPRequest request;
    request.url = m_configuration.feedURL;
    request.headers = {{"Accept", "application/xml,text/xml,*/*"}, {"User-Agent", "BrewBeacon Updater"}};
    request.timeout = std::chrono::seconds(20);
    const std::shared_ptr<URLSessionProtocol> session = m_configuration.session;
    const URLSessionResult feed = co_await session->data(request);
    if (!self)
        co_return std::nullopt;
    if (!feed.isSuccess())
        co_return UpdateError::feedUnreachable(*feed.error);
    if (!feed.response || feed.response->statusCode < 200 || feed.response->statusCode > 299)
        co_return UpdateError::feedStatus(feed.response ? feed.response->statusCode : 0);
    const AppcastReadResult appcast = AppcastReader::read(feed.body, m_configuration.feedURL);
    if (!appcast.isRead())
        co_return UpdateError::feedMalformed(appcast.detail);
    for (const AppcastRejectedItem& rejected : appcast.appcast.rejected)
        m_logger.log("Appcast item %{public}d skipped: %{public}s", rejected.index, rejected.description());
    if (m_configuration.currentVersion.isEmpty())
        co_return UpdateError::unknownCurrentVersion();

    // After an install this process still runs the old version; only something newer than what it
    // installed is worth another install.
    const QString baseline = m_installedVersion.isEmpty() ? m_configuration.currentVersion : m_installedVersion;
    const auto item = newestApplicableItem(appcast.appcast.items, baseline, m_configuration.systemVersion);
    if (!item) {
        m_logger.log("No update newer than %{public}s", baseline);
        if (driver)
            driver->showUpToDate(baseline);
        co_return std::nullopt;
    }
    m_logger.log("Update found: %{public}s (%{public}s)", item->displayVersion, item->version);
    // Refused before anything is fetched: nothing unsigned is ever written to disk.
    if (!m_configuration.verifier.hasKey())
        co_return UpdateError::missingPublicKey();
    if (!item->enclosure.edSignature)
        co_return UpdateError::unsignedUpdate();
    if (!m_configuration.transport.permits(item->enclosure.url))
        co_return UpdateError::insecureURL(item->enclosure.url);
    if (driver) {
        const bool install = co_await driver->confirmInstall(*item);
        if (!self)
            co_return std::nullopt;
        if (!install) {
            driver->dismiss();
            co_return std::nullopt;
        }
    } else if (!automaticallyDownloadsUpdates()) {
        co_return std::nullopt;
    }

    std::shared_ptr<UpdateUserDriving> progressDriver = userInitiated ? m_configuration.userDriver : nullptr;
    const UpdateDownloader::Progress progress = [progressDriver](qint64 received, qint64 total) {
        if (progressDriver)
            progressDriver->showDownloadProgress(received, total);
    };
    const UpdateDownloader::Result download = co_await m_downloader.download(item->enclosure, progress);
    if (download.error)
        co_return download.error;
    if (!self) {
        QFile::remove(download.filePath);
        co_return std::nullopt;
    }
    // The signature covers the version it was offered as, so the comparison below is about the
    // version that was signed, not one a feed made up.
    const UpdateSignatureVerifier verifier = m_configuration.verifier;
    const QString filePath = download.filePath;
    const QString version = item->version;
    const std::optional<QString> signature = item->enclosure.edSignature;
    std::function<std::optional<UpdateError>(BackgroundProgress&)> verify = [verifier, filePath, version,
                                                                             signature](BackgroundProgress&) {
        return verifier.verify(filePath, version, signature);
    };
    QCoro::Task<std::optional<UpdateError>> verifying = runInBackground(std::move(verify));
    std::optional<UpdateError> refused = co_await std::move(verifying);
    if (!self)
        co_return refused;
    if (!refused && compareUpdateVersions(version, m_configuration.currentVersion) <= 0)
        refused = UpdateError::notNewer(version, m_configuration.currentVersion);
    if (refused) {
        QFile::remove(filePath);
        co_return refused;
    }
    const UpdateInstalling::Progress installProgress = [progressDriver](qint64 done, qint64 total) {
        if (progressDriver)
            progressDriver->showInstallProgress(done, total);
    };
    const std::shared_ptr<UpdateInstalling> installer = m_configuration.installer;
    QCoro::Task<std::optional<UpdateError>> installing = installer->install(filePath, installProgress);
    const std::optional<UpdateError> installError = co_await std::move(installing);
    QFile::remove(filePath);
    if (!self)
        co_return installError;
    if (installError)
        co_return installError;
    m_installedVersion = version;
    m_logger.log("Update installed: %{public}s", item->displayVersion);

    bool relaunchNow = false;
    if (driver)
        relaunchNow = co_await driver->confirmRelaunch(*item);
    if (!self || !relaunchNow || !m_delegate.shouldRelaunchApplication())
        co_return std::nullopt;
    m_delegate.willRelaunchApplication();
    if (auto relaunchError = m_configuration.installer->relaunch())
        co_return relaunchError;
    if (m_configuration.terminate)
        m_configuration.terminate();
    co_return std::nullopt;
}
