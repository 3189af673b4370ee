#pragma once

#include "portal/PortalAssistantWindowController.h"

#include <QString>
#include <functional>
#include <memory>

// The portal helper program: $BREWBEACON_PORTAL_HELPER when set, else the one beside the running
// program (a build tree), else the installed one in the package's libexec folder.
QString portalHelperProgram();

// The assistant controller wired to windows in portal helper processes and real waits; the caller
// supplies the portal detector the verification checks use (one fresh detector per check).
std::unique_ptr<PortalAssistantWindowController> makeHelperPortalAssistantWindowController(
    std::function<std::unique_ptr<CaptivePortalHandling>()> makeDetector, QObject* parent = nullptr);
