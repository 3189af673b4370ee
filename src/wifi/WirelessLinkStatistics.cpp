#include "wifi/WirelessLinkStatistics.h"

#include <QFile>
#include <QStringList>

namespace {

// Values look like "-56." (or "200" in relative units on old drivers; those are not dBm).
std::optional<int> dbm(const QString& field)
{
    QString text = field;
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value >= 0 || value <= -256)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<WirelessLinkStatistics> WirelessLinkStatistics::read(const QString& interfaceName, const QString& file)
{
    QFile source(file);
    if (interfaceName.isEmpty() || !source.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    return parse(interfaceName, QString::fromUtf8(source.readAll()));
}

std::optional<WirelessLinkStatistics> WirelessLinkStatistics::parse(const QString& interfaceName, const QString& contents)
{
    const QString prefix = interfaceName + QLatin1Char(':');
    for (const QString& line : contents.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.startsWith(prefix))
            continue;
        // interface: status link level noise ...
        const QStringList fields = trimmed.mid(prefix.size()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (fields.size() < 4)
            return std::nullopt;
        return WirelessLinkStatistics{dbm(fields.at(2)), dbm(fields.at(3))};
    }
    return std::nullopt;
}
