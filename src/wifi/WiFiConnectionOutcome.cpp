#include "wifi/WiFiConnectionOutcome.h"

WiFiConnectionOutcome WiFiConnectionOutcome::captivePortal(QString ssid, std::optional<QUrl> url)
{
    WiFiConnectionOutcome outcome(Kind::captivePortal, std::move(ssid));
    outcome.m_url = std::move(url);
    return outcome;
}

WiFiConnectionOutcome WiFiConnectionOutcome::weakSignal(QString ssid, int quality)
{
    WiFiConnectionOutcome outcome(Kind::weakSignal, std::move(ssid));
    outcome.m_quality = quality;
    return outcome;
}

WiFiConnectionOutcome WiFiConnectionOutcome::failed(QString ssid, QString message)
{
    WiFiConnectionOutcome outcome(Kind::failed, std::move(ssid));
    outcome.m_message = std::move(message);
    return outcome;
}

bool WiFiConnectionOutcome::hasSSID() const
{
    switch (m_kind) {
    case Kind::requiresUserApproval:
    case Kind::interfaceUnavailable:
    case Kind::wifiOff:
    case Kind::serviceInactive:
        return false;
    default:
        return true;
    }
}

std::optional<QString> WiFiConnectionOutcome::ssid() const
{
    if (hasSSID())
        return m_ssid;
    return std::nullopt;
}

std::optional<int> WiFiConnectionOutcome::quality() const
{
    if (m_kind == Kind::weakSignal)
        return m_quality;
    return std::nullopt;
}

std::optional<QString> WiFiConnectionOutcome::message() const
{
    if (m_kind == Kind::failed)
        return m_message;
    return std::nullopt;
}

QString WiFiConnectionOutcome::analyticsValue() const
{
    switch (m_kind) {
    case Kind::connected:
        return QStringLiteral("connected");
    case Kind::captivePortal:
        return QStringLiteral("captive_portal");
    case Kind::requiresPassword:
        return QStringLiteral("requires_password");
    case Kind::enterpriseUnsupported:
        return QStringLiteral("enterprise_unsupported");
    case Kind::weakSignal:
        return QStringLiteral("weak_signal");
    case Kind::networkUnavailable:
        return QStringLiteral("network_unavailable");
    case Kind::offlineAfterConnect:
        return QStringLiteral("offline_after_connect");
    case Kind::failed:
        return QStringLiteral("failed");
    case Kind::requiresUserApproval:
        return QStringLiteral("requires_user_approval");
    case Kind::interfaceUnavailable:
        return QStringLiteral("interface_unavailable");
    case Kind::wifiOff:
        return QStringLiteral("wifi_off");
    case Kind::serviceInactive:
        break;
    }
    return QStringLiteral("service_inactive");
}

QString WiFiConnectionOutcome::detail() const
{
    switch (m_kind) {
    case Kind::connected:
        return QStringLiteral("Internet access looks available.");
    case Kind::captivePortal:
        return m_url ? QStringLiteral("Use the Portal Assistant to finish access.")
                     : QStringLiteral("Use the Portal Assistant or portal page to finish access.");
    case Kind::requiresPassword:
        return QStringLiteral("Enter the Wi-Fi password before connecting.");
    case Kind::enterpriseUnsupported:
        return QStringLiteral("Enterprise and account-based networks need manual login for now.");
    case Kind::weakSignal:
        return QStringLiteral("Signal quality is ") + QString::number(m_quality)
            + QStringLiteral("%; retry closer to the access point.");
    case Kind::networkUnavailable:
        return QStringLiteral("The network was not found during the connection attempt.");
    case Kind::offlineAfterConnect:
        return QStringLiteral("The computer joined the Wi-Fi, but the network path is still offline.");
    case Kind::failed:
        return m_message;
    case Kind::requiresUserApproval:
        return QStringLiteral("BrewBeacon only connects to open cafe or guest Wi-Fi candidates.");
    case Kind::interfaceUnavailable:
        return QStringLiteral("This computer does not currently expose a controllable Wi-Fi interface.");
    case Kind::wifiOff:
        return QStringLiteral("Turn Wi-Fi on, then scan again.");
    case Kind::serviceInactive:
        break;
    }
    return QStringLiteral("Enable the Wi-Fi device in the network settings.");
}
