#pragma once

#include <QByteArray>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

// NetworkManager's connection settings: setting name → (key → value), D-Bus type a{sa{sv}}.
using NetworkManagerSettings = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(NetworkManagerSettings)

// Unpacks the D-Bus values NetworkManager answers with, whichever form QtDBus hands them over in.
namespace NetworkManagerValues {
// Registers the composite types this program sends or receives; safe to call from any thread.
void registerTypes();
QVariantMap variantMap(const QVariant& value);
QStringList objectPaths(const QVariant& value);
QString objectPath(const QVariant& value);
// The reason half of a (state, reason) pair; 0 when absent.
quint32 stateReason(const QVariant& value);
NetworkManagerSettings settings(const QVariant& value);
} // namespace NetworkManagerValues
