#pragma once

#include <QString>

// Whether the installation in a folder belongs to a package manager, which then also updates it: a
// build packaged for a distribution says so, and system locations (/usr outside /usr/local, snap,
// flatpak, nix and guix stores) always belong to one. BrewBeacon never rewrites such an installation.
namespace InstallationOwnership {

bool buildIsPackaged();
bool isManagedByPackageManager(const QString& prefix);

} // namespace InstallationOwnership
