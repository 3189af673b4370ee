#include "app/ApplicationWiring.h"

#include "app/UpdateDialogs.h"
#include "connectivity/CaptivePortalService.h"
#include "connectivity/NetworkURLSession.h"
#include "portal/helper/PortalHelperWindows.h"
#include "services/BundleInfo.h"
#include "services/SoftwareUpdateFeedPreflight.h"
#include "services/SoftwareUpdateService.h"
#include "services/update/AppcastSelection.h"
#include "services/update/SoftwareUpdater.h"
#include "services/update/TarballUpdateInstaller.h"

#include <QApplication>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace ApplicationWiring {

std::unique_ptr<SoftwareUpdateService> makeSoftwareUpdateService(std::function<void()> terminate)
{
    auto defaults = std::make_shared<QSettings>();
    const auto makeUpdater = [defaults, terminate](SoftwareUpdaterDelegate& delegate) {
        SoftwareUpdater::Configuration configuration;
        configuration.feedURL = SoftwareUpdateFeedPreflight::defaultFeedURL();
        configuration.currentVersion = BundleInfo::main().value(u"CFBundleVersion"_s);
        configuration.systemVersion = currentSystemVersion();
        configuration.defaults = defaults;
        configuration.verifier = UpdateSignatureVerifier::builtIn();
        configuration.installer = std::make_shared<TarballUpdateInstaller>(TarballUpdateInstaller::forRunningProgram());
        configuration.userDriver = std::make_shared<UpdateDialogs>();
        configuration.downloadDirectory =
            QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/updates"_s;
        configuration.terminate = terminate;
        return std::make_unique<SoftwareUpdater>(std::move(configuration), delegate);
    };
    return std::make_unique<SoftwareUpdateService>(SoftwareUpdateFeedPreflight::makeDefault(), defaults, makeUpdater, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->raise();
    });
}

std::shared_ptr<PortalAssistantWindowController> makePortalAssistant()
{
    // A fresh probe for each verification, on the configured page with its marker like every other probe.
    return makeHelperPortalAssistantWindowController([] { return std::make_unique<CaptivePortalService>(); });
}

} // namespace ApplicationWiring
