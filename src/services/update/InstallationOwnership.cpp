#include "services/update/InstallationOwnership.h"

#include <QDir>
#include <QFileInfo>

#ifndef BREWBEACON_UPDATES_FROM_PACKAGE_MANAGER
#define BREWBEACON_UPDATES_FROM_PACKAGE_MANAGER 0
#endif

using namespace Qt::StringLiterals;

namespace InstallationOwnership {

bool buildIsPackaged()
{
    return BREWBEACON_UPDATES_FROM_PACKAGE_MANAGER != 0;
}

bool isManagedByPackageManager(const QString& prefix)
{
    if (buildIsPackaged())
        return true;
    const QString canonical = QFileInfo(prefix).canonicalFilePath();
    const QString path = QDir::cleanPath(canonical.isEmpty() ? QFileInfo(prefix).absoluteFilePath() : canonical) + u'/';
    if (path.startsWith(u"/usr/local/"_s))
        return false;
    for (const QString& root : {u"/usr/"_s, u"/bin/"_s, u"/sbin/"_s, u"/lib/"_s, u"/snap/"_s, u"/var/lib/snapd/"_s,
                            u"/var/lib/flatpak/"_s, u"/app/"_s, u"/nix/store/"_s, u"/gnu/store/"_s}) {
        if (path.startsWith(root) || path == root)
            return true;
    }
    return false;
}

} // namespace InstallationOwnership
