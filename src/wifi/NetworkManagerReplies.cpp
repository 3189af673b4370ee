#include "wifi/NetworkManagerReplies.h"

#include "wifi/NetworkManagerProperties.h"
#include "wifi/NetworkManagerValues.h"

#include <QDBusArgument>

using namespace Qt::StringLiterals;

namespace NetworkManagerReplies {

QString propertiesInterface() { return QStringLiteral("org.freedesktop.DBus.Properties"); }

bool isAnswer(const QDBusMessage& reply) { return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty(); }

bool meansAbsent(const QDBusMessage& reply)
{
    return reply.errorName() == "org.freedesktop.DBus.Error.ServiceUnknown"_L1
        || reply.errorName() == "org.freedesktop.DBus.Error.NameHasNoOwner"_L1
        || reply.errorName() == "org.freedesktop.DBus.Error.Disconnected"_L1;
}

QString failureText(const QDBusMessage& reply)
{
    return reply.errorMessage().isEmpty() ? u"NetworkManager did not answer."_s : reply.errorMessage();
}

QVariantMap propertyMap(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return value.value<QDBusArgument>().currentSignature() == "a{sv}"_L1 ? NetworkManagerValues::variantMap(value) : QVariantMap();
    return value.metaType() == QMetaType::fromType<QVariantMap>() ? value.toMap() : QVariantMap();
}

QString pathArgument(const QDBusMessage& message)
{
    if (message.arguments().size() != 1)
        return {};
    return NetworkManagerProperties::objectPath(message.arguments().constFirst()).value_or(QString());
}

std::optional<quint32> uintArgument(const QDBusMessage& message, int index)
{
    return NetworkManagerProperties::uint32(message.arguments().value(index));
}

} // namespace NetworkManagerReplies
