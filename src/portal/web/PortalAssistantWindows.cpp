#include "portal/web/PortalAssistantWindows.h"

#include "connectivity/CaptivePortalHandling.h"
#include "portal/web/PortalAssistantWindow.h"
#include "support/Clock.h"
#include "wifi/TaskRetrySleeper.h"

std::unique_ptr<PortalAssistantWindowController> makePortalAssistantWindowController(
    std::function<std::unique_ptr<CaptivePortalHandling>()> makeDetector, QObject* parent)
{
    auto sleeper = std::make_shared<TaskRetrySleeper>();
    PortalAssistantWindowController::Dependencies dependencies;
    dependencies.makeWindow = [sleeper] { return std::make_unique<PortalAssistantWindow>(sleeper); };
    dependencies.makeDetector = std::move(makeDetector);
    dependencies.sleeper = sleeper;
    dependencies.clock = &Clock::system();
    return std::make_unique<PortalAssistantWindowController>(std::move(dependencies), parent);
}
