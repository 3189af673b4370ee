#include "wifi/NetworkManagerValues.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QList>
#include <mutex>

namespace NetworkManagerValues {

namespace {
bool isArgument(const QVariant& value) { return value.metaType() == QMetaType::fromType<QDBusArgument>(); }
} // namespace

void registerTypes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        qDBusRegisterMetaType<NetworkManagerSettings>();
        qDBusRegisterMetaType<QList<QByteArray>>();
    });
}

QVariantMap variantMap(const QVariant& value)
{
    if (isArgument(value))
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

QStringList objectPaths(const QVariant& value)
{
    QList<QDBusObjectPath> paths;
    if (isArgument(value))
        paths = qdbus_cast<QList<QDBusObjectPath>>(value.value<QDBusArgument>());
    else if (value.canConvert<QList<QDBusObjectPath>>())
        paths = value.value<QList<QDBusObjectPath>>();
    else
        return value.toStringList();
    QStringList texts;
    texts.reserve(paths.size());
    for (const QDBusObjectPath& path : paths)
        texts.append(path.path());
    return texts;
}

QString objectPath(const QVariant& value)
{
    if (value.canConvert<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

quint32 stateReason(const QVariant& value)
{
    // Anything but the (state, reason) pair is read as no reason rather than streamed as one.
    if (!isArgument(value))
        return 0;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(uu)"))
        return 0;
    quint32 state = 0;
    quint32 reason = 0;
    argument.beginStructure();
    argument >> state >> reason;
    argument.endStructure();
    return reason;
}

NetworkManagerSettings settings(const QVariant& value)
{
    registerTypes();
    if (isArgument(value))
        return qdbus_cast<NetworkManagerSettings>(value.value<QDBusArgument>());
    return value.value<NetworkManagerSettings>();
}

} // namespace NetworkManagerValues
