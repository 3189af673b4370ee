#include "state/LocationAuthorizationStatus.h"

QString logValue(LocationAuthorizationStatus status)
{
    switch (status) {
    case LocationAuthorizationStatus::unknown:
        return QStringLiteral("unknown");
    case LocationAuthorizationStatus::notDetermined:
        return QStringLiteral("notDetermined");
    case LocationAuthorizationStatus::allowed:
        return QStringLiteral("allowed");
    case LocationAuthorizationStatus::denied:
        return QStringLiteral("denied");
    case LocationAuthorizationStatus::restricted:
        return QStringLiteral("restricted");
    case LocationAuthorizationStatus::disabled:
        return QStringLiteral("disabled");
    }
    return QStringLiteral("unknown");
}

QString detail(LocationAuthorizationStatus status)
{
    switch (status) {
    case LocationAuthorizationStatus::denied:
        return QStringLiteral("Allow BrewBeacon in Location Services so macOS can reveal nearby Wi-Fi names.");
    case LocationAuthorizationStatus::restricted:
        return QStringLiteral("Location Services are restricted, so macOS is hiding nearby Wi-Fi names.");
    case LocationAuthorizationStatus::disabled:
        return QStringLiteral("Turn on Location Services so macOS can reveal nearby Wi-Fi names.");
    case LocationAuthorizationStatus::unknown:
    case LocationAuthorizationStatus::notDetermined:
    case LocationAuthorizationStatus::allowed:
        break;
    }
    return QStringLiteral("macOS uses Location permission to protect nearby Wi-Fi names.");
}

bool needsPermission(LocationAuthorizationStatus status)
{
    switch (status) {
    case LocationAuthorizationStatus::notDetermined:
    case LocationAuthorizationStatus::denied:
    case LocationAuthorizationStatus::restricted:
    case LocationAuthorizationStatus::disabled:
        return true;
    case LocationAuthorizationStatus::allowed:
    case LocationAuthorizationStatus::unknown:
        break;
    }
    return false;
}
