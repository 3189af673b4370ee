#pragma once

#include "portal/PortalAutofillProfile.h"

#include <QCoroTask>

// Where the visitor details are kept between runs. Neither call fails for the caller.
class PortalAutofillProfileStoring {
public:
    virtual ~PortalAutofillProfileStoring() = default;
    // The stored profile as stored (not normalized); `empty` when there is none or it cannot be read.
    virtual QCoro::Task<PortalAutofillProfile> load() = 0;
    // Stores the normalized form; true once the keyring holds it. A failed write leaves the previous
    // item in place and answers false.
    virtual QCoro::Task<bool> save(PortalAutofillProfile profile) = 0;
};
