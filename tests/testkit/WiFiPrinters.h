#pragma once

// Readable GoogleTest failure messages for the Wi-Fi values; include in tests that compare them.

#include "wifi/ConnectionState.h"
#include "wifi/NetworkSecurity.h"
#include "wifi/PortalState.h"
#include "wifi/PublicNetworkCandidate.h"
#include "wifi/WiFiAssociationStatus.h"
#include "wifi/WiFiConnectionOutcome.h"

#include <ostream>

inline void PrintTo(NetworkSecurity security, std::ostream* os) { *os << rawValue(security).toStdString(); }

inline void PrintTo(const ConnectionState& state, std::ostream* os)
{
    *os << state.analyticsValue().toStdString();
    if (const auto payload = state.ssid() ? state.ssid() : state.message())
        *os << "(" << payload->toStdString() << ")";
}

inline void PrintTo(const PortalState& state, std::ostream* os) { *os << state.logValue().toStdString(); }

inline void PrintTo(const WiFiAssociationStatus& status, std::ostream* os) { *os << status.logValue().toStdString(); }

inline void PrintTo(const WiFiConnectionOutcome& outcome, std::ostream* os)
{
    *os << outcome.analyticsValue().toStdString() << "(";
    if (const auto ssid = outcome.ssid())
        *os << "ssid: " << ssid->toStdString();
    if (outcome.url())
        *os << ", url: " << outcome.url()->toString().toStdString();
    if (const auto quality = outcome.quality())
        *os << ", quality: " << *quality;
    if (const auto message = outcome.message())
        *os << ", message: " << message->toStdString();
    *os << ")";
}

inline void PrintTo(const PublicNetworkCandidate& candidate, std::ostream* os)
{
    *os << "{ssid: \"" << candidate.ssid.toStdString() << "\", quality: " << candidate.quality << ", detail: \""
        << candidate.detail.toStdString() << "\", security: " << rawValue(candidate.security).toStdString();
    if (candidate.rssi)
        *os << ", rssi: " << *candidate.rssi;
    if (candidate.noise)
        *os << ", noise: " << *candidate.noise;
    if (candidate.bssid)
        *os << ", bssid: " << candidate.bssid->toStdString();
    if (candidate.channel)
        *os << ", channel: " << candidate.channel->toStdString();
    if (candidate.transmitRate)
        *os << ", transmitRate: " << *candidate.transmitRate;
    if (candidate.phyMode)
        *os << ", phyMode: " << candidate.phyMode->toStdString();
    *os << "}";
}
