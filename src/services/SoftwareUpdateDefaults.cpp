#include "services/SoftwareUpdateDefaults.h"

namespace SoftwareUpdateDefaults {

void applyAutomaticUpdateDefaultsIfNeeded(QSettings& defaults)
{
    if (!defaults.contains(migrationKey)) {
        defaults.setValue(automaticChecksKey, true);
        defaults.setValue(automaticallyUpdateKey, true);
        defaults.setValue(migrationKey, true);
        return;
    }
    if (!defaults.contains(automaticChecksKey))
        defaults.setValue(automaticChecksKey, true);
    if (!defaults.contains(automaticallyUpdateKey))
        defaults.setValue(automaticallyUpdateKey, true);
}

} // namespace SoftwareUpdateDefaults
