#pragma once

#include "services/BundleInfo.h"

#include <QString>
#include <functional>

// The marketing version and build number, as the bundle-info lookup reads them.
struct AppVersion {
    QString marketingVersion;
    QString buildNumber;

    static AppVersion from(const BundleInfo& info);
    // The running application's version.
    static AppVersion current();

    bool operator==(const AppVersion&) const = default;
};

using AppVersionProvider = std::function<AppVersion()>;
