#pragma once

#include <QUrl>

class PortalAssistantHost;

// The portal assistant as the application state reaches it. `attemptHidden` tries the portal in a
// page that is not on screen and reveals it only when the user has to act; `show` opens it for the
// user. Both get the portal's address and the state to report back to (never null; it outlives the
// call, but the assistant should hold it weakly in anything that waits).
class PortalAssisting {
public:
    virtual ~PortalAssisting() = default;

    virtual void attemptHidden(QUrl portalURL, PortalAssistantHost* host) = 0;
    virtual void show(QUrl portalURL, PortalAssistantHost* host) = 0;
};
