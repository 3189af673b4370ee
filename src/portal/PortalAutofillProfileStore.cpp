#include "portal/PortalAutofillProfileStore.h"

#include "portal/PortalAutofillProfileJSON.h"

PortalAutofillProfileStore::PortalAutofillProfileStore(QString service, QString account)
    : m_item(std::move(service), std::move(account))
{
}

QCoro::Task<PortalAutofillProfile> PortalAutofillProfileStore::load()
{
    const SecretReadResult read = co_await m_item.read();
    if (read.kind == SecretReadResult::Kind::NotFound)
        co_return PortalAutofillProfile::empty();
    if (read.kind == SecretReadResult::Kind::Failed) {
        m_logger.log("Portal autofill profile unreadable: %{public}s", read.message);
        co_return PortalAutofillProfile::empty();
    }
    const PortalAutofillProfileDecoding decoding = PortalAutofillProfileJSON::decode(read.data);
    if (decoding.kind != PortalAutofillProfileDecoding::Kind::Decoded) {
        // A damaged item is left alone: the next save replaces it, nothing is deleted behind the user's back.
        m_logger.log("Portal autofill profile ignored: stored item is not a profile");
        co_return PortalAutofillProfile::empty();
    }
    co_return decoding.profile;
}

QCoro::Task<bool> PortalAutofillProfileStore::save(PortalAutofillProfile profile)
{
    const QByteArray bytes = PortalAutofillProfileJSON::encode(profile.normalized());
    const SecretWriteResult written = co_await m_item.write(bytes);
    if (written.kind == SecretWriteResult::Kind::Failed) {
        m_logger.error("Portal autofill profile not saved: %{public}s", written.message);
        co_return false;
    }
    co_return true;
}
