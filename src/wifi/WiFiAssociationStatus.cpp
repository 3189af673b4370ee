#include "wifi/WiFiAssociationStatus.h"

std::optional<QString> WiFiAssociationStatus::message() const
{
    if (m_kind == Kind::failed)
        return m_message;
    return std::nullopt;
}

bool WiFiAssociationStatus::isRetryable() const
{
    switch (m_kind) {
    case Kind::interfaceUnavailable:
    case Kind::wifiOff:
    case Kind::serviceInactive:
        return false;
    case Kind::associated:
    case Kind::alreadyAssociated:
    case Kind::networkNotFound:
    case Kind::failed:
        break;
    }
    return true;
}

QString WiFiAssociationStatus::logValue() const
{
    switch (m_kind) {
    case Kind::associated:
        return QStringLiteral("associated");
    case Kind::alreadyAssociated:
        return QStringLiteral("alreadyAssociated");
    case Kind::networkNotFound:
        return QStringLiteral("networkNotFound");
    case Kind::interfaceUnavailable:
        return QStringLiteral("interfaceUnavailable");
    case Kind::wifiOff:
        return QStringLiteral("wifiOff");
    case Kind::serviceInactive:
        return QStringLiteral("serviceInactive");
    case Kind::failed:
        break;
    }
    return QStringLiteral("failed(") + m_message + QLatin1Char(')');
}
