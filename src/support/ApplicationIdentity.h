#pragma once

#include <QString>

// The names the tray and its portal process share: settings, keyring items and the portal's web
// profile are all found under them, so both programs must use the same ones.
namespace ApplicationIdentity {
// Sets the organisation and application names on the running QCoreApplication.
void apply();
// The desktop entry both programs' windows belong to.
QString desktopFileName();
}
