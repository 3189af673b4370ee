#pragma once

#include "services/update/AppcastItem.h"

#include <optional>

// The newest item that is newer than the running build and whose minimum system version this system
// meets; none when the feed offers nothing applicable.
std::optional<AppcastItem> newestApplicableItem(const QList<AppcastItem>& items, QStringView currentVersion,
                                                QStringView systemVersion);

// The version the minimum system version of an item is compared with: the kernel release, the one
// version every Linux distribution shares.
QString currentSystemVersion();
