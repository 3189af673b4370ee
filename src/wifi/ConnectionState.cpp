#include "wifi/ConnectionState.h"

std::optional<QString> ConnectionState::ssid() const
{
    if (m_kind == Kind::connected || m_kind == Kind::captive)
        return m_payload;
    return std::nullopt;
}

std::optional<QString> ConnectionState::message() const
{
    if (m_kind == Kind::failed)
        return m_payload;
    return std::nullopt;
}

QString ConnectionState::title() const
{
    switch (m_kind) {
    case Kind::connected:
        return QStringLiteral("Connected to ") + m_payload;
    case Kind::captive:
        return QStringLiteral("Portal needed for ") + m_payload;
    case Kind::failed:
        return QStringLiteral("Needs attention");
    case Kind::ready:
        return QStringLiteral("Ready");
    case Kind::scanning:
        return QStringLiteral("Scanning");
    case Kind::offline:
        break;
    }
    return QStringLiteral("Offline");
}

QString ConnectionState::analyticsValue() const
{
    switch (m_kind) {
    case Kind::connected:
        return QStringLiteral("connected");
    case Kind::captive:
        return QStringLiteral("captive");
    case Kind::failed:
        return QStringLiteral("failed");
    case Kind::ready:
        return QStringLiteral("ready");
    case Kind::scanning:
        return QStringLiteral("scanning");
    case Kind::offline:
        break;
    }
    return QStringLiteral("offline");
}
