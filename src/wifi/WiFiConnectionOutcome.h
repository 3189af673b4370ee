#pragma once

#include <QString>
#include <QUrl>
#include <optional>

// The final result of joining one network. `detail` is the message shown when a join does not succeed.
class WiFiConnectionOutcome {
public:
    enum class Kind {
        connected,
        captivePortal,
        requiresPassword,
        enterpriseUnsupported,
        weakSignal,
        networkUnavailable,
        offlineAfterConnect,
        failed,
        requiresUserApproval,
        interfaceUnavailable,
        wifiOff,
        serviceInactive,
    };

    // Exists so the value can be awaited and held; a failure without a name or message.
    WiFiConnectionOutcome() = default;

    static WiFiConnectionOutcome connected(QString ssid) { return {Kind::connected, std::move(ssid)}; }
    static WiFiConnectionOutcome captivePortal(QString ssid, std::optional<QUrl> url);
    static WiFiConnectionOutcome requiresPassword(QString ssid) { return {Kind::requiresPassword, std::move(ssid)}; }
    static WiFiConnectionOutcome enterpriseUnsupported(QString ssid) { return {Kind::enterpriseUnsupported, std::move(ssid)}; }
    static WiFiConnectionOutcome weakSignal(QString ssid, int quality);
    // `ssid` is the text "No candidate" when a route had nothing to try.
    static WiFiConnectionOutcome networkUnavailable(QString ssid) { return {Kind::networkUnavailable, std::move(ssid)}; }
    static WiFiConnectionOutcome offlineAfterConnect(QString ssid) { return {Kind::offlineAfterConnect, std::move(ssid)}; }
    static WiFiConnectionOutcome failed(QString ssid, QString message);
    static WiFiConnectionOutcome requiresUserApproval() { return {Kind::requiresUserApproval, {}}; }
    static WiFiConnectionOutcome interfaceUnavailable() { return {Kind::interfaceUnavailable, {}}; }
    static WiFiConnectionOutcome wifiOff() { return {Kind::wifiOff, {}}; }
    static WiFiConnectionOutcome serviceInactive() { return {Kind::serviceInactive, {}}; }

    Kind kind() const { return m_kind; }
    // The network the outcome is about; none for the four cases without a payload.
    std::optional<QString> ssid() const;
    // The portal URL of `captivePortal`, when it has one.
    const std::optional<QUrl>& url() const { return m_url; }
    // The quality of `weakSignal`.
    std::optional<int> quality() const;
    // The message of `failed`.
    std::optional<QString> message() const;

    // The text analytics events and log lines print: "connected", "captive_portal", ...
    QString analyticsValue() const;
    // The user-facing explanation.
    QString detail() const;

    bool operator==(const WiFiConnectionOutcome&) const = default;

private:
    WiFiConnectionOutcome(Kind kind, QString ssid) : m_kind(kind), m_ssid(std::move(ssid)) {}
    bool hasSSID() const;

    Kind m_kind = Kind::failed;
    QString m_ssid;
    std::optional<QUrl> m_url;
    int m_quality = 0;
    QString m_message;
};
