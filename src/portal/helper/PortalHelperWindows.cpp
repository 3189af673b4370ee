#include "portal/helper/PortalHelperWindows.h"

#include "connectivity/CaptivePortalHandling.h"
#include "portal/helper/PortalHelperConnection.h"
#include "portal/helper/PortalHelperWindow.h"
#include "support/Clock.h"
#include "wifi/TaskRetrySleeper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString portalHelperProgram()
{
    if (const QString chosen = qEnvironmentVariable("BREWBEACON_PORTAL_HELPER"); !chosen.isEmpty())
        return chosen;
    const QDir folder(QCoreApplication::applicationDirPath());
    if (const QString beside = folder.filePath(u"brewbeacon-portal"_s); QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(folder.filePath(QStringLiteral(BREWBEACON_PORTAL_HELPER_FROM_BINDIR)));
}

std::unique_ptr<PortalAssistantWindowController> makeHelperPortalAssistantWindowController(
    std::function<std::unique_ptr<CaptivePortalHandling>()> makeDetector, QObject* parent)
{
    PortalAssistantWindowController::Dependencies dependencies;
    dependencies.makeWindow = [] {
        return std::make_unique<PortalHelperWindow>(
            [] { return std::make_unique<PortalHelperConnection>(PortalHelperConnection::Options(portalHelperProgram())); });
    };
    dependencies.makeDetector = std::move(makeDetector);
    dependencies.sleeper = std::make_shared<TaskRetrySleeper>();
    dependencies.clock = &Clock::system();
    return std::make_unique<PortalAssistantWindowController>(std::move(dependencies), parent);
}
