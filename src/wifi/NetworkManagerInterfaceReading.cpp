#include "wifi/NetworkManagerInterfaceReading.h"

#include "wifi/NetworkManagerSecurity.h"
#include "wifi/WiFiRadioEstimates.h"
#include "wifi/WiFiSSIDText.h"
#include "wifi/WirelessLinkStatistics.h"

using namespace NetworkManagerDBus;

std::optional<NetworkManagerInterfaceReading> NetworkManagerInterfaceReading::read(const NetworkManagerClient& client,
                                                                                   const QString& linkStatisticsFile,
                                                                                   std::optional<NetworkManagerFailure>* failure)
{
    std::optional<NetworkManagerDevice> device = client.defaultWiFiDevice(failure);
    if (!device)
        return std::nullopt;
    std::optional<NetworkManagerFailure> powerFailure;
    const std::optional<bool> power = client.wirelessEnabled(&powerFailure);
    return from(*device, power, powerFailure ? std::optional<QString>(powerFailure->message) : std::nullopt,
                client.activeAccessPoint(*device), linkStatisticsFile);
}

std::optional<NetworkManagerInterfaceReading> NetworkManagerInterfaceReading::read(const NetworkManagerState& state,
                                                                                   const QString& linkStatisticsFile,
                                                                                   std::optional<NetworkManagerFailure>* failure)
{
    if (state.availability == NetworkManagerState::Availability::absent) {
        if (failure)
            *failure = NetworkManagerFailure::callFailed(QStringLiteral("NetworkManager is not running."));
        return std::nullopt;
    }
    if (state.availability == NetworkManagerState::Availability::loading) {
        if (failure)
            *failure = NetworkManagerFailure::timedOut(QStringLiteral("NetworkManager did not answer."));
        return std::nullopt;
    }
    if (state.availability == NetworkManagerState::Availability::unreadable) {
        if (failure)
            *failure = NetworkManagerFailure::callFailed(state.failure);
        return std::nullopt;
    }
    const std::optional<NetworkManagerDevice> device = state.defaultWiFiDevice();
    if (!device)
        return std::nullopt;
    std::optional<QString> powerFailure;
    if (!state.powerOn())
        powerFailure = state.powerFailure.isEmpty() ? QStringLiteral("NetworkManager did not report whether Wi-Fi is switched on.")
                                                    : state.powerFailure;
    return from(*device, state.powerOn(), powerFailure, state.activeAccessPoint(*device), linkStatisticsFile);
}

NetworkManagerInterfaceReading NetworkManagerInterfaceReading::from(const NetworkManagerDevice& device, std::optional<bool> power,
                                                                    std::optional<QString> powerFailure,
                                                                    std::optional<NetworkManagerAccessPoint> activeAccessPoint,
                                                                    const QString& linkStatisticsFile)
{
    NetworkManagerInterfaceReading reading;
    reading.device = device;
    reading.powerOn = power.value_or(false);
    reading.powerFailure = std::move(powerFailure);
    reading.serviceActive = device.managed && device.state > deviceStateUnavailable;
    reading.activeAccessPoint = std::move(activeAccessPoint);
    if (!reading.activeAccessPoint)
        return reading;

    const NetworkManagerAccessPoint& point = *reading.activeAccessPoint;
    if (!point.ssid.isEmpty())
        reading.ssid = WiFiSSIDText::decode(point.ssid);
    reading.security = NetworkManagerSecurity::currentCode(point);
    // The kernel's measured signal and noise win over NetworkManager's coarse strength when present.
    const std::optional<WirelessLinkStatistics> link = WirelessLinkStatistics::read(device.interfaceName, linkStatisticsFile);
    reading.rssi = link && link->signalDbm ? *link->signalDbm : WiFiRadioEstimates::rssiFromStrength(point.strength);
    reading.noise = link && link->noiseDbm ? *link->noiseDbm : WiFiRadioEstimates::estimatedNoiseFloorDbm;
    reading.transmitRate = device.bitrateKbps / 1000.0;
    return reading;
}

WiFiInterfaceDetails NetworkManagerInterfaceReading::details() const
{
    WiFiInterfaceDetails details;
    if (!device.interfaceName.isEmpty())
        details.interfaceName = device.interfaceName;
    details.rssi = rssi;
    details.noise = noise;
    details.transmitRate = transmitRate;
    if (activeAccessPoint) {
        if (!activeAccessPoint->bssid.isEmpty())
            details.bssid = activeAccessPoint->bssid;
        if (const std::optional<int> channel = WiFiRadioEstimates::channelForFrequency(activeAccessPoint->frequencyMHz))
            details.channel = QString::number(*channel);
        details.phyMode = WiFiRadioEstimates::phyModeFor(activeAccessPoint->frequencyMHz, activeAccessPoint->maxBitrateKbps);
    }
    // NetworkManager does not report the regulatory country; it stays absent.
    return details;
}

ScannedNetworkRecord NetworkManagerScanRecords::record(const NetworkManagerAccessPoint& point)
{
    ScannedNetworkRecord record;
    if (!point.ssid.isEmpty())
        record.ssid = WiFiSSIDText::decode(point.ssid);
    record.ssidBytes = point.ssid;
    if (!point.bssid.isEmpty())
        record.bssid = point.bssid;
    record.rssiValue = WiFiRadioEstimates::rssiFromStrength(point.strength);
    record.noiseMeasurement = WiFiRadioEstimates::estimatedNoiseFloorDbm;
    record.channel = WiFiRadioEstimates::channelForFrequency(point.frequencyMHz);
    if (point.frequencyMHz > 0)
        record.frequencyMHz = int(point.frequencyMHz);
    record.supportedSecurity = NetworkManagerSecurity::supportedCodes(point);
    return record;
}
