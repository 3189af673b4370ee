#pragma once

#include <QDBusMessage>
#include <QString>
#include <QVariantMap>
#include <optional>

// Reading NetworkManager's answers and signals as the cache gets them, checked before use.
namespace NetworkManagerReplies {
QString propertiesInterface();
// A reply with at least one argument.
bool isAnswer(const QDBusMessage& reply);
// An error that means nobody owns NetworkManager's name.
bool meansAbsent(const QDBusMessage& reply);
// NetworkManager's own words for a failed call.
QString failureText(const QDBusMessage& reply);
// The a{sv} argument of a reply or signal; empty when it is something else.
QVariantMap propertyMap(const QVariant& value);
// The single object path a signal carries; empty when it carries something else.
QString pathArgument(const QDBusMessage& message);
std::optional<quint32> uintArgument(const QDBusMessage& message, int index);
} // namespace NetworkManagerReplies
