#pragma once

#include "wifi/NetworkManagerState.h"

#include <QVariantMap>

// Applies the properties of one interface, as a GetAll answer or a PropertiesChanged signal carries
// them, to the cached value. Properties not named are left alone. Everything is checked for its D-Bus
// type and bounded: a property of the wrong type or size clears the field to its "unknown" value
// instead of being guessed at, so a broken or hostile bus can mislead a reading but never crash it.
namespace NetworkManagerProperties {
void applyManager(NetworkManagerState& state, const QVariantMap& properties);
void applyDevice(NetworkManagerDevice& device, const QVariantMap& properties);
void applyWireless(NetworkManagerDevice& device, const QVariantMap& properties);
void applyAccessPoint(NetworkManagerAccessPoint& point, const QVariantMap& properties);
void applyActiveConnection(NetworkManagerActiveConnection& connection, const QVariantMap& properties);

// An "ao" value as paths, at most `limit` of them; none when the value is not an array of paths.
std::optional<QStringList> objectPathList(const QVariant& value, qsizetype limit);
// An "o" value; none when it is not an object path. "/" (NetworkManager's "none") reads as empty.
std::optional<QString> objectPath(const QVariant& value);
// An integer of any width that fits in 32 unsigned bits; none otherwise.
std::optional<quint32> uint32(const QVariant& value);
} // namespace NetworkManagerProperties
