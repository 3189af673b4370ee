#include "wifi/WiFiRadioEstimates.h"

#include <cmath>

int WiFiRadioEstimates::rssiFromStrength(int strengthPercent)
{
    const int strength = qBound(0, strengthPercent, 100);
    return int(std::lround(-100.0 + strength * 0.6));
}

std::optional<int> WiFiRadioEstimates::channelForFrequency(quint32 frequencyMHz)
{
    const int f = int(frequencyMHz);
    if (f == 2484)
        return 14;
    if (f >= 2412 && f <= 2472)
        return (f - 2407) / 5;
    if (f >= 5955 && f <= 7115)
        return (f - 5950) / 5;
    if (f >= 5000 && f < 5925)
        return (f - 5000) / 5;
    return std::nullopt;
}

QString WiFiRadioEstimates::phyModeFor(quint32 frequencyMHz, quint32 maxBitrateKbps)
{
    const bool fiveGHz = frequencyMHz >= 5000;
    if (frequencyMHz >= 5925)
        return QStringLiteral("802.11ax");
    if (maxBitrateKbps > 600000)
        return fiveGHz ? QStringLiteral("802.11ac") : QStringLiteral("802.11ax");
    if (maxBitrateKbps > 54000)
        return QStringLiteral("802.11n");
    if (maxBitrateKbps > 11000)
        return fiveGHz ? QStringLiteral("802.11a") : QStringLiteral("802.11g");
    return QStringLiteral("802.11b");
}
