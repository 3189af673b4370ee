#include "wifi/NetworkSecurity.h"

QString rawValue(NetworkSecurity security)
{
    switch (security) {
    case NetworkSecurity::open:
        return QStringLiteral("Open");
    case NetworkSecurity::personal:
        return QStringLiteral("Password");
    case NetworkSecurity::enterprise:
        return QStringLiteral("Enterprise");
    case NetworkSecurity::unknown:
        break;
    }
    return QStringLiteral("Unknown");
}

std::optional<NetworkSecurity> networkSecurityFromRawValue(const QString& text)
{
    for (const auto security : {NetworkSecurity::open, NetworkSecurity::personal, NetworkSecurity::enterprise, NetworkSecurity::unknown}) {
        if (text == rawValue(security))
            return security;
    }
    return std::nullopt;
}
