#pragma once

#include "portal/PortalAssistantWindowController.h"

#include <functional>
#include <memory>

// The assistant controller wired to real windows over Qt WebEngine and real waits; the caller supplies
// the portal detector the verification checks use (one fresh detector per check).
std::unique_ptr<PortalAssistantWindowController> makePortalAssistantWindowController(
    std::function<std::unique_ptr<CaptivePortalHandling>()> makeDetector, QObject* parent = nullptr);
