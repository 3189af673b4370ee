#pragma once

#include <QSettings>

// The stored switches of the update framework and the one-time migration that turns both on.
namespace SoftwareUpdateDefaults {

inline constexpr QLatin1StringView automaticChecksKey{"SUEnableAutomaticChecks"};
inline constexpr QLatin1StringView automaticallyUpdateKey{"SUAutomaticallyUpdate"};
inline constexpr QLatin1StringView migrationKey{"BrewBeaconDidApplyAutomaticUpdateDefaultsV2"};

// First run: both on and the migration marked. Later runs only fill in a switch that is missing, so a
// choice the user made is kept.
void applyAutomaticUpdateDefaultsIfNeeded(QSettings& defaults);

} // namespace SoftwareUpdateDefaults
