#include "wifi/NetworkManagerProperties.h"

#include "wifi/NetworkManagerValues.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <limits>

using namespace Qt::StringLiterals;

namespace NetworkManagerProperties {

namespace {

constexpr qsizetype maximumSSIDBytes = 32;
constexpr qsizetype maximumTextLength = 256;

template <typename T> std::optional<T> exactly(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<T>())
        return std::nullopt;
    return value.value<T>();
}

// NetworkManager sends "u"; any other integer within range is taken as well (some stand-ins send "i").
std::optional<quint32> anyUInt32(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::UInt:
    case QMetaType::Int:
    case QMetaType::UShort:
    case QMetaType::Short:
    case QMetaType::UChar:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        if (!ok || number < 0 || number > qlonglong(std::numeric_limits<quint32>::max()))
            return std::nullopt;
        return quint32(number);
    }
    default:
        return std::nullopt;
    }
}

std::optional<QString> text(const QVariant& value)
{
    std::optional<QString> string = exactly<QString>(value);
    if (!string || string->size() > maximumTextLength)
        return std::nullopt;
    return string;
}

} // namespace

std::optional<quint32> uint32(const QVariant& value) { return anyUInt32(value); }

std::optional<QString> objectPath(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<QDBusObjectPath>())
        return std::nullopt;
    const QString path = value.value<QDBusObjectPath>().path();
    if (path.size() > maximumTextLength)
        return std::nullopt;
    return path == "/"_L1 ? QString() : path;
}

std::optional<QStringList> objectPathList(const QVariant& value, qsizetype limit)
{
    QList<QDBusObjectPath> paths;
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const QDBusArgument argument = value.value<QDBusArgument>();
        if (argument.currentSignature() != "ao"_L1)
            return std::nullopt;
        argument.beginArray();
        while (!argument.atEnd() && paths.size() < limit) {
            QDBusObjectPath path;
            argument >> path;
            paths.append(path);
        }
        argument.endArray();
    } else if (value.metaType() == QMetaType::fromType<QList<QDBusObjectPath>>()) {
        const QList<QDBusObjectPath> all = value.value<QList<QDBusObjectPath>>();
        paths = all.first(std::min(limit, all.size()));
    } else {
        return std::nullopt;
    }
    QStringList texts;
    texts.reserve(paths.size());
    for (const QDBusObjectPath& path : paths)
        if (path.path() != "/"_L1 && path.path().size() <= maximumTextLength)
            texts.append(path.path());
    return texts;
}

void applyManager(NetworkManagerState& state, const QVariantMap& properties)
{
    if (properties.contains(u"WirelessEnabled"_s))
        state.wirelessEnabled = exactly<bool>(properties.value(u"WirelessEnabled"_s));
    if (properties.contains(u"WirelessHardwareEnabled"_s))
        // Only a clear "off" from the hardware switch counts; anything else leaves the software switch to decide.
        state.wirelessHardwareEnabled = exactly<bool>(properties.value(u"WirelessHardwareEnabled"_s)).value_or(true);
    if (properties.contains(u"State"_s))
        state.managerState = uint32(properties.value(u"State"_s));
    if (properties.contains(u"Metered"_s))
        state.metered = uint32(properties.value(u"Metered"_s)).value_or(0);
}

void applyDevice(NetworkManagerDevice& device, const QVariantMap& properties)
{
    if (properties.contains(u"Interface"_s))
        device.interfaceName = text(properties.value(u"Interface"_s)).value_or(QString());
    if (properties.contains(u"State"_s))
        device.state = uint32(properties.value(u"State"_s)).value_or(0);
    if (properties.contains(u"StateReason"_s))
        device.stateReason = NetworkManagerValues::stateReason(properties.value(u"StateReason"_s));
    if (properties.contains(u"Managed"_s))
        device.managed = exactly<bool>(properties.value(u"Managed"_s)).value_or(false);
    if (properties.contains(u"AvailableConnections"_s))
        device.availableConnections = objectPathList(properties.value(u"AvailableConnections"_s), 256).value_or(QStringList());
    if (properties.contains(u"ActiveConnection"_s))
        device.activeConnectionPath = objectPath(properties.value(u"ActiveConnection"_s)).value_or(QString());
}

void applyWireless(NetworkManagerDevice& device, const QVariantMap& properties)
{
    if (properties.contains(u"Bitrate"_s))
        device.bitrateKbps = uint32(properties.value(u"Bitrate"_s)).value_or(0);
    if (properties.contains(u"ActiveAccessPoint"_s))
        device.activeAccessPointPath = objectPath(properties.value(u"ActiveAccessPoint"_s)).value_or(QString());
    if (properties.contains(u"LastScan"_s))
        device.lastScan = exactly<qint64>(properties.value(u"LastScan"_s));
}

void applyAccessPoint(NetworkManagerAccessPoint& point, const QVariantMap& properties)
{
    if (properties.contains(u"Ssid"_s)) {
        // Longer than any network name can be: no name at all rather than a wrong one.
        const std::optional<QByteArray> ssid = exactly<QByteArray>(properties.value(u"Ssid"_s));
        point.ssid = ssid && ssid->size() <= maximumSSIDBytes ? *ssid : QByteArray();
    }
    if (properties.contains(u"HwAddress"_s))
        point.bssid = text(properties.value(u"HwAddress"_s)).value_or(QString());
    if (properties.contains(u"Flags"_s))
        point.flags = uint32(properties.value(u"Flags"_s)).value_or(0);
    if (properties.contains(u"WpaFlags"_s))
        point.wpaFlags = uint32(properties.value(u"WpaFlags"_s)).value_or(0);
    if (properties.contains(u"RsnFlags"_s))
        point.rsnFlags = uint32(properties.value(u"RsnFlags"_s)).value_or(0);
    if (properties.contains(u"Frequency"_s))
        point.frequencyMHz = uint32(properties.value(u"Frequency"_s)).value_or(0);
    if (properties.contains(u"MaxBitrate"_s))
        point.maxBitrateKbps = uint32(properties.value(u"MaxBitrate"_s)).value_or(0);
    if (properties.contains(u"Strength"_s))
        point.strength = std::min<quint8>(exactly<uchar>(properties.value(u"Strength"_s)).value_or(0), 100);
}

void applyActiveConnection(NetworkManagerActiveConnection& connection, const QVariantMap& properties)
{
    if (properties.contains(u"State"_s))
        connection.state = uint32(properties.value(u"State"_s)).value_or(0);
    if (properties.contains(u"SpecificObject"_s))
        connection.specificObject = objectPath(properties.value(u"SpecificObject"_s)).value_or(QString());
}

} // namespace NetworkManagerProperties
