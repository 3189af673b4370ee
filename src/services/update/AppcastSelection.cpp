#include "services/update/AppcastSelection.h"

#include "services/update/UpdateVersion.h"

#include <QSysInfo>

std::optional<AppcastItem> newestApplicableItem(const QList<AppcastItem>& items, QStringView currentVersion,
                                                QStringView systemVersion)
{
    std::optional<AppcastItem> best;
    for (const AppcastItem& item : items) {
        if (compareUpdateVersions(item.version, currentVersion) <= 0)
            continue;
        if (item.minimumSystemVersion && !item.minimumSystemVersion->isEmpty()
            && compareUpdateVersions(systemVersion, *item.minimumSystemVersion) < 0)
            continue;
        if (!best || compareUpdateVersions(item.version, best->version) > 0)
            best = item;
    }
    return best;
}

QString currentSystemVersion()
{
    // "6.1.0-18-amd64": the distribution suffix is cut so it cannot read as a pre-release.
    const QString kernel = QSysInfo::kernelVersion();
    const qsizetype dash = kernel.indexOf(u'-');
    return dash < 0 ? kernel : kernel.left(dash);
}
