#pragma once

#include "portal/PortalAutofillProfileStoring.h"
#include "portal/SecretServiceItem.h"
#include "support/Logger.h"

// The visitor details as one JSON item in the user's keyring (the Secret Service), readable only by
// this user. Nothing is ever written in plain text beside it.
class PortalAutofillProfileStore : public PortalAutofillProfileStoring {
public:
    static QString installedService() { return QStringLiteral("com.tolvek.brewbeacon.portal-profile"); }
    static QString installedAccount() { return QStringLiteral("default"); }

    PortalAutofillProfileStore(QString service = installedService(), QString account = installedAccount());

    QCoro::Task<PortalAutofillProfile> load() override;
    QCoro::Task<bool> save(PortalAutofillProfile profile) override;

    const QString& service() const { return m_item.service(); }
    const QString& account() const { return m_item.account(); }

private:
    SecretServiceItem m_item;
    Logger m_logger{QStringLiteral("PortalProfile")};
};
