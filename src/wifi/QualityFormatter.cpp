#include "wifi/QualityFormatter.h"

QString QualityFormatter::label(int quality)
{
    if (quality >= 85 && quality <= 100)
        return QStringLiteral("Excellent");
    if (quality >= 65 && quality <= 84)
        return QStringLiteral("Good");
    if (quality >= 40 && quality <= 64)
        return QStringLiteral("Fair");
    return QStringLiteral("Weak");
}

QString securityPhrase(NetworkSecurity security)
{
    switch (security) {
    case NetworkSecurity::open:
        return QStringLiteral(" open signal");
    case NetworkSecurity::personal:
        return QStringLiteral(", password required");
    case NetworkSecurity::enterprise:
        return QStringLiteral(", account login required");
    case NetworkSecurity::unknown:
        break;
    }
    return QStringLiteral(", security unknown");
}

QString candidateDetail(int labelQuality, NetworkSecurity security)
{
    return QualityFormatter::label(labelQuality) + securityPhrase(security);
}
