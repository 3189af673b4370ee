#include "services/update/SoftwareUpdater.h"

#include "services/SoftwareUpdateDefaults.h"
#include "services/update/AppcastReader.h"
#include "services/update/AppcastSelection.h"

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
    m_schedule.setSingleShot(true);
    QObject::connect(&m_schedule, &QTimer::timeout, this, [this] { runUpdateCycle(false); });
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
    if (!automaticallyChecksForUpdates())
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
    UpdateUserDriving* driver = userInitiated ? m_configuration.userDriver.get() : nullptr;
    if (driver) {
        m_delegate.willShowUpdate();
        driver->showChecking();
    }
    HTTPRequest request;
    request.url = m_configuration.feedURL;
    request.headers = {{"Accept", "application/xml,text/xml,*/*"}, {"User-Agent", "BrewBeacon Updater"}};
    request.timeout = std::chrono::seconds(20);
    const URLSessionResult feed = co_await m_configuration.session->data(request);
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

    const auto item = newestApplicableItem(appcast.appcast.items, m_configuration.currentVersion, m_configuration.systemVersion);
    if (!item) {
        m_logger.log("No update newer than %{public}s", m_configuration.currentVersion);
        if (driver)
            driver->showUpToDate(m_configuration.currentVersion);
        co_return std::nullopt;
    }
    m_logger.log("Update found: %{public}s (%{public}s)", item->displayVersion, item->version);
    // Refused before anything is fetched: nothing unsigned is ever written to disk.
    if (!m_configuration.verifier.hasKey())
        co_return UpdateError::missingPublicKey();
    if (!item->enclosure.edSignature)
        co_return UpdateError::unsignedUpdate();
    if (driver) {
        const bool install = co_await driver->confirmInstall(*item);
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
    if (auto refused = m_configuration.verifier.verify(download.filePath, item->enclosure.edSignature)) {
        QFile::remove(download.filePath);
        co_return refused;
    }
    const std::optional<UpdateError> installError = m_configuration.installer->install(download.filePath);
    QFile::remove(download.filePath);
    if (installError)
        co_return installError;
    m_logger.log("Update installed: %{public}s", item->displayVersion);

    bool relaunchNow = false;
    if (driver)
        relaunchNow = co_await driver->confirmRelaunch(*item);
    if (!relaunchNow || !m_delegate.shouldRelaunchApplication())
        co_return std::nullopt;
    m_delegate.willRelaunchApplication();
    if (auto relaunchError = m_configuration.installer->relaunch())
        co_return relaunchError;
    if (m_configuration.terminate)
        m_configuration.terminate();
    co_return std::nullopt;
}
