#pragma once

#include <functional>
#include <memory>

class PortalAssistantWindowController;
class SoftwareUpdateService;

// The real collaborators of the shell, made in one place.
namespace ApplicationWiring {

// The update service over our update framework: the product service's feed, the key built into the
// app, the running installation as the target, and dialogs for user-initiated checks.
std::unique_ptr<SoftwareUpdateService> makeSoftwareUpdateService(std::function<void()> terminate);

// The portal assistant, its window and web engine in a helper process, verifying against the configured
// detection page.
std::shared_ptr<PortalAssistantWindowController> makePortalAssistant();

} // namespace ApplicationWiring
