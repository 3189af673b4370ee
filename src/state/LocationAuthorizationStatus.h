#pragma once

#include <QMetaType>
#include <QString>

// Whether this program may see Wi-Fi names and join networks. On Linux NetworkManager's permissions
// (polkit) hold that role; the cases and texts are the ones the windows and logs use everywhere.
enum class LocationAuthorizationStatus { unknown, notDetermined, allowed, denied, restricted, disabled };

// "unknown", "notDetermined", "allowed", "denied", "restricted", "disabled".
QString logValue(LocationAuthorizationStatus status);
// The user-visible explanation of the status.
QString detail(LocationAuthorizationStatus status);
// Whether the status keeps the assistant from working: not asked yet, refused, restricted or switched
// off. `unknown` does not (no reading yet), `allowed` does not.
bool needsPermission(LocationAuthorizationStatus status);

Q_DECLARE_METATYPE(LocationAuthorizationStatus)
