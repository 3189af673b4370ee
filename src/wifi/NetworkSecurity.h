#pragma once

#include <QHashFunctions>
#include <QString>
#include <optional>

// The security class of a network. Only `open` networks are ever joined.
enum class NetworkSecurity {
    open,
    personal,
    enterprise,
    unknown,
};

// The text by which log lines and windows name the class: "Open", "Password", "Enterprise", "Unknown".
QString rawValue(NetworkSecurity security);

// Accepts exactly the four raw values, case-sensitive; anything else gives no value.
std::optional<NetworkSecurity> networkSecurityFromRawValue(const QString& text);

inline size_t qHash(NetworkSecurity security, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<int>(security), seed);
}
