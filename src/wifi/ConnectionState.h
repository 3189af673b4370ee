#pragma once

#include <QString>
#include <optional>

// The overall Wi-Fi state shown to the user. `connected` and `captive` carry the SSID, `failed` a message.
class ConnectionState {
public:
    enum class Kind { connected, captive, failed, ready, scanning, offline };

    // The application starts out scanning.
    ConnectionState() = default;

    static ConnectionState connected(QString ssid) { return {Kind::connected, std::move(ssid)}; }
    static ConnectionState captive(QString ssid) { return {Kind::captive, std::move(ssid)}; }
    static ConnectionState failed(QString message) { return {Kind::failed, std::move(message)}; }
    static ConnectionState ready() { return {Kind::ready, {}}; }
    static ConnectionState scanning() { return {Kind::scanning, {}}; }
    static ConnectionState offline() { return {Kind::offline, {}}; }

    Kind kind() const { return m_kind; }
    // The SSID of `connected` and `captive`; none for the other cases.
    std::optional<QString> ssid() const;
    // The message of `failed`; none for the other cases.
    std::optional<QString> message() const;

    // "Connected to Cafe", "Portal needed for Cafe", "Needs attention", "Ready", "Scanning", "Offline".
    QString title() const;
    // The text analytics events carry: "connected", "captive", "failed", "ready", "scanning", "offline".
    QString analyticsValue() const;

    bool operator==(const ConnectionState&) const = default;

private:
    ConnectionState(Kind kind, QString payload) : m_kind(kind), m_payload(std::move(payload)) {}

    Kind m_kind = Kind::scanning;
    QString m_payload;
};
