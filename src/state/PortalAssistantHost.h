#pragma once

#include <QObject>

// Declared by the portal and analytics code; implementers include their headers.
class PortalAutofillProfile;
class AppAnalyticsReporting;

// What the portal assistant may use of the application state: the visitor details, saving edited
// ones, the analytics reporter and a fresh connectivity check once a portal is passed. A QObject so
// the assistant can hold it weakly (QPointer) across its waits. Main thread only.
class PortalAssistantHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual PortalAutofillProfile portalAutofillProfile() const = 0;
    virtual void savePortalAutofillProfile(const PortalAutofillProfile& profile) = 0;
    virtual AppAnalyticsReporting& analytics() = 0;
    virtual void checkAndConnectPublicWiFi() = 0;
};
